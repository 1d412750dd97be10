// The conversation with a network receipt printer (see SocketConversation.h).
#include "print/SocketConversation.h"

#include <chrono>

#include "print/PrinterOutput.h"

namespace ooa {

namespace {

[[noreturn]] void Fail(const std::string& where, const std::string& why) {
  throw TPrintError("Printer " + where + ": " + why);
}

const char* const kDropped = "the printer dropped the connection before the end";

}  // namespace

void SendToPrinter(ISocketCalls& socket, const std::string& where, std::string_view data) {
  const int timeoutMs = PrinterTimings().IoTimeoutMs;
  size_t done = 0;
  while (done < data.size()) {
    const TSocketIo io = socket.Send(data.data() + done, data.size() - done);
    switch (io.Kind) {
      case TSocketIo::Moved: done += io.Bytes; break;
      case TSocketIo::Retry: break;
      case TSocketIo::WouldBlock:
        if (!socket.WaitFor(true, timeoutMs)) Fail(where, "the printer takes no data (time-out)");
        break;
      case TSocketIo::Reset: Fail(where, kDropped);
      case TSocketIo::Failed: Fail(where, io.Error);
    }
  }
}

void FinishWithPrinter(ISocketCalls& socket, const std::string& where) {
  socket.EndSending();
  // Read until the printer closes its side too, so that nothing it still has
  // to read is thrown away by a reset; bounded.
  const int timeoutMs = PrinterTimings().IoTimeoutMs;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  // A reset says the printer closed with part of the receipt unread: all of
  // it had left here, but not all of it was printed.
  // A printer that never closes took the connection but not the receipt
  // (it reads nothing, or its buffer stays full): without its close nothing
  // says the receipt was printed, so it counts as not printed.
  char buf[512];
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
    if (left <= 0 || !socket.WaitFor(false, static_cast<int>(left))) break;
    const TSocketIo io = socket.Receive(buf, sizeof buf);
    switch (io.Kind) {
      case TSocketIo::Moved:
        if (io.Bytes == 0) return;  // the printer's close: it took the whole receipt
        break;
      case TSocketIo::Retry:
      case TSocketIo::WouldBlock: break;
      case TSocketIo::Reset: Fail(where, kDropped);
      case TSocketIo::Failed: Fail(where, io.Error);
    }
  }
  const std::string seconds = std::to_string((timeoutMs + 999) / 1000);
  const long long unsent = socket.Unsent();
  if (unsent > 0)
    Fail(where, "the printer takes no data (" + std::to_string(unsent) + " bytes of the receipt unsent after " +
                    seconds + " s)");
  Fail(where, "the printer did not finish the receipt within " + seconds + " s");
}

}  // namespace ooa
