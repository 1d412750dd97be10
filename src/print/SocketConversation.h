// The conversation with a network receipt printer (socket://host:port),
// apart from the platform's socket calls: sending the receipt with a bounded
// wait for each piece, and ending it by reading until the printer closes its
// side. The socket output of each platform (print/posix, print/win) owns the
// connection and lends it here through ISocketCalls; the order pass's thread
// runs both, one receipt at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ooa {

// What one send or receive call did.
struct TSocketIo {
  enum EKind {
    Moved,       // Bytes were sent or received; a receive of 0 bytes: the printer closed its side
    Retry,       // interrupted: call again
    WouldBlock,  // nothing can move now: wait for the socket
    Reset,       // the printer dropped the connection
    Failed,      // any other failure, in the system's words (Error)
  };
  EKind Kind = Moved;
  size_t Bytes = 0;
  std::string Error;
};

class ISocketCalls {
 public:
  virtual ~ISocketCalls() = default;
  // One call each; the socket is non-blocking. Send may move fewer bytes.
  virtual TSocketIo Send(const char* data, size_t size) = 0;
  virtual TSocketIo Receive(char* buffer, size_t size) = 0;
  // Waits until the socket can be written to (write) or read from, or has
  // failed or closed; false on time-out.
  virtual bool WaitFor(bool write, int timeoutMs) = 0;
  // Tells the printer nothing more comes.
  virtual void EndSending() = 0;
  // Bytes given to Send that have not left yet; -1 when the platform cannot tell.
  virtual long long Unsent() = 0;
};

// Sends all of data; each wait for the socket is bounded by the printer
// timings' I/O time-out. where: "host:port", as the errors name the printer.
// Throws TPrintError.
void SendToPrinter(ISocketCalls& socket, const std::string& where, std::string_view data);

// Ends the receipt: nothing more is sent, and the printer's own close says it
// took everything (bounded by the I/O time-out). A reset, or no close in
// time, means the receipt was not printed: throws TPrintError. The caller
// closes the socket afterwards either way.
void FinishWithPrinter(ISocketCalls& socket, const std::string& where);

}  // namespace ooa
