// Where the bytes of a raw (ESC/POS) receipt go. One IPrinterOutput is one
// print document: it is opened by OpenReceiptPrinter, receives every piece of
// the receipt the moment it is produced (Write sends at once, nothing waits in
// a buffer of ours), and is ended by Finish. Destroying an output that was not
// finished abandons the document (a print queue job is cancelled).
//
// The printer name decides the back-end:
//   socket://host[:port]  a network receipt printer, TCP port 9100 by default
//   /dev/...              a printer device such as /dev/usb/lp0 (on Windows
//                         also a device name: \\.\COM1, LPT1, COM3:)
//   file:PATH             the bytes are appended to a file (capture)
//   anything else         a queue of the print service, as one raw job
// Every wait (connect, send, spooler answer) is bounded by PrinterTimings().
// Used by the order worker through PrinterControlUnit; owned by the printer state.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ooa {

// A failure of the printer or of the print service; what() says which and why.
class TPrintError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class IPrinterOutput {
 public:
  virtual ~IPrinterOutput() = default;
  // Sends one piece now. Throws TPrintError.
  virtual void Write(std::string_view data) = 0;
  // Ends the document (the job is complete). Throws TPrintError.
  virtual void Finish() = 0;
};

// Bounds of every wait of the printer code. Process-wide; tests shorten them.
struct TPrinterTimings {
  int DocumentWaitTries = 80;   // waits for a document still open before ending it
  int DocumentWaitMs = 100;
  int ConnectTimeoutMs = 5000;  // TCP connect, print service connect
  int IoTimeoutMs = 15000;      // one send or one answer of the print service
};
TPrinterTimings PrinterTimings();
void SetPrinterTimings(const TPrinterTimings& timings);

// What a printer name stands for.
struct TPrinterAddress {
  enum class TKind { Queue, Socket, Device, File, Pdf };
  TKind Kind = TKind::Queue;
  std::string Target;  // queue name, host, device path or file path
  int Port = 9100;     // socket only
};
TPrinterAddress ParsePrinterAddress(const std::string& name);
// True for the socket://, device and file: forms, which always print raw.
bool IsRawPrinterAddress(const std::string& name);
// True for every address form (those and pdf:), as opposed to a queue name.
bool IsPrinterAddress(const std::string& name);

// Opens the raw back-end the address names (a Queue must be installed);
// documentName (the invoice number, may be empty) titles a queue's job.
// Throws TPrintError when the printer cannot be reached or refuses the job.
std::unique_ptr<IPrinterOutput> OpenRawOutput(const TPrinterAddress& address, const std::string& documentName = "");

// The back-ends, for callers that want one directly.
std::unique_ptr<IPrinterOutput> OpenSocketOutput(const std::string& host, int port);
std::unique_ptr<IPrinterOutput> OpenFileOutput(const std::string& path, bool device);
// A queue of the print service (CUPS on Linux, the spooler on Windows), one
// raw job titled "Receipt <documentName>".
std::unique_ptr<IPrinterOutput> OpenQueueRawOutput(const std::string& queue, const std::string& documentName = "");

}  // namespace ooa
