#include "print/posix/CupsConnection.h"

#include "print/PrinterOutput.h"

namespace ooa {

namespace {
// The service did not answer in time: give up instead of waiting on.
int GiveUp(http_t*, void*) { return 0; }
}  // namespace

TCupsConnection ConnectToPrintService() {
  const TPrinterTimings t = PrinterTimings();
  http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, t.ConnectTimeoutMs,
                              nullptr);
  if (http != nullptr) httpSetTimeout(http, t.IoTimeoutMs / 1000.0, GiveUp, nullptr);
  return TCupsConnection(http);
}

}  // namespace ooa
