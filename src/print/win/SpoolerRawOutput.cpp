// Raw output to a printer of the Windows spooler: one job per receipt in the
// "RAW" data type (the driver passes the bytes on untouched), written piece by
// piece: every Write hands its bytes to the spooler before it returns. A job
// that is not finished is deleted (AbortPrinter), so that half a receipt never
// prints.
#include <windows.h>
#include <winspool.h>

#include <algorithm>

#include "print/PrinterOutput.h"
#include "config/win/WideText.h"

namespace ooa {

namespace {

class TSpoolerRawOutput : public IPrinterOutput {
 public:
  TSpoolerRawOutput(const std::string& queue, const std::string& documentName) : Queue(queue) {
    std::wstring name = Widen(queue);
    if (!OpenPrinterW(name.data(), &Printer, nullptr)) {
      Printer = nullptr;
      Fail("the printer cannot be opened");
    }
    std::wstring title = Widen(documentName.empty() ? "Receipt" : "Receipt " + documentName);
    wchar_t raw[] = L"RAW";
    DOC_INFO_1W doc{};
    doc.pDocName = title.data();
    doc.pOutputFile = nullptr;
    doc.pDatatype = raw;
    if (StartDocPrinterW(Printer, 1, reinterpret_cast<LPBYTE>(&doc)) == 0) Fail("the queue refuses the job");
    JobStarted = true;
    if (!StartPagePrinter(Printer)) Fail("the queue refuses the document");
  }

  ~TSpoolerRawOutput() override {
    if (Printer == nullptr) return;
    if (JobStarted && !Finished) AbortPrinter(Printer);
    ClosePrinter(Printer);
  }

  void Write(std::string_view data) override {
    if (Finished) throw TPrintError("Printer " + Queue + ": the job is closed");
    size_t done = 0;
    while (done < data.size()) {
      DWORD written = 0;
      const DWORD piece = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 20));
      if (!WritePrinter(Printer, const_cast<char*>(data.data() + done), piece, &written) || written == 0)
        Fail("the spooler takes no data");
      done += written;
    }
  }

  void Finish() override {
    if (Finished) return;
    Finished = true;
    const bool pageEnded = EndPagePrinter(Printer) != 0;
    const DWORD pageError = pageEnded ? 0 : GetLastError();
    if (!EndDocPrinter(Printer)) Fail("the spooler did not accept the job");
    if (!pageEnded) Fail("the spooler did not accept the job", pageError);
  }

 private:
  [[noreturn]] void Fail(const std::string& what, unsigned long error = GetLastError()) {
    throw TPrintError("Printer " + Queue + ": " + what + " (" + SystemErrorText(error) + ")");
  }

  std::string Queue;
  HANDLE Printer = nullptr;
  bool JobStarted = false;
  bool Finished = false;
};

}  // namespace

std::unique_ptr<IPrinterOutput> OpenQueueRawOutput(const std::string& queue, const std::string& documentName) {
  return std::make_unique<TSpoolerRawOutput>(queue, documentName);
}

}  // namespace ooa
