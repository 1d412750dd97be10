// Raw output to a queue of the print service: one job per receipt in the raw
// document format (no filter touches the bytes), its data streamed piece by
// piece: every Write goes to the spooler before it returns. The connection is
// our own, so that its waits can be bounded and it is never shared with
// another thread.
#include "print/posix/CupsConnection.h"
#include "print/PrinterOutput.h"

namespace ooa {

namespace {

class TCupsRawOutput : public IPrinterOutput {
 public:
  TCupsRawOutput(const std::string& queue, const std::string& documentName) : Queue(queue) {
    Connection = ConnectToPrintService();
    Http = Connection.get();
    if (Http == nullptr) throw TPrintError("Printer " + Queue + ": the print service cannot be reached");
    const std::string title = documentName.empty() ? "Receipt" : "Receipt " + documentName;
    JobId = cupsCreateJob(Http, Queue.c_str(), title.c_str(), 0, nullptr);
    if (JobId <= 0) Fail("the queue refuses the job");
    if (cupsStartDocument(Http, Queue.c_str(), JobId, title.c_str(), CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE)
      Fail("the queue refuses the document");
  }

  ~TCupsRawOutput() override {
    if (Http == nullptr) return;
    if (JobId > 0 && !Finished) cupsCancelJob2(Http, Queue.c_str(), JobId, 0);
  }

  void Write(std::string_view data) override {
    if (Finished) throw TPrintError("Printer " + Queue + ": the job is closed");
    if (cupsWriteRequestData(Http, data.data(), data.size()) != HTTP_STATUS_CONTINUE || httpFlushWrite(Http) < 0)
      Fail("the spooler takes no data");
  }

  void Finish() override {
    if (Finished) return;
    Finished = true;
    if (cupsFinishDocument(Http, Queue.c_str()) > IPP_STATUS_OK_EVENTS_COMPLETE)
      Fail("the spooler did not accept the job");
  }

 private:
  [[noreturn]] void Fail(const std::string& what) {
    throw TPrintError("Printer " + Queue + ": " + what + " (" + cupsLastErrorString() + ")");
  }

  std::string Queue;
  TCupsConnection Connection;
  http_t* Http = nullptr;
  int JobId = 0;
  bool Finished = false;
};

}  // namespace

std::unique_ptr<IPrinterOutput> OpenQueueRawOutput(const std::string& queue, const std::string& documentName) {
  return std::make_unique<TCupsRawOutput>(queue, documentName);
}

}  // namespace ooa
