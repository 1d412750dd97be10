// Raw output to a printer device (/dev/usb/lp0 ...) or a capture file
// (file:PATH, appended). Each piece is written with one write() at once; a
// device that takes no data within the time-out is an error, not a hang.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "print/PrinterOutput.h"

namespace ooa {

namespace {

class TFileOutput : public IPrinterOutput {
 public:
  TFileOutput(const std::string& path, bool device) : Path(path) {
    int flags = device ? (O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)
                       : (O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC);
    Fd = ::open(path.c_str(), flags, 0644);
    if (Fd < 0) throw TPrintError("Printer " + path + ": " + std::strerror(errno));
  }

  ~TFileOutput() override {
    if (Fd >= 0) ::close(Fd);
  }

  void Write(std::string_view data) override {
    if (Fd < 0) throw TPrintError("Printer " + Path + ": the document is closed");
    const int timeoutMs = PrinterTimings().IoTimeoutMs;
    size_t done = 0;
    while (done < data.size()) {
      ssize_t n = ::write(Fd, data.data() + done, data.size() - done);
      if (n >= 0) {
        done += static_cast<size_t>(n);
        continue;
      }
      if (errno == EINTR) continue;
      if (errno == EAGAIN) {
        pollfd p{Fd, POLLOUT, 0};
        if (::poll(&p, 1, timeoutMs) > 0) continue;
        throw TPrintError("Printer " + Path + ": the printer takes no data (time-out)");
      }
      throw TPrintError("Printer " + Path + ": " + std::strerror(errno));
    }
  }

  void Finish() override {
    if (Fd < 0) return;
    int rc = ::close(Fd);
    Fd = -1;
    if (rc != 0) throw TPrintError("Printer " + Path + ": " + std::strerror(errno));
  }

 private:
  std::string Path;
  int Fd = -1;
};

}  // namespace

std::unique_ptr<IPrinterOutput> OpenFileOutput(const std::string& path, bool device) {
  return std::make_unique<TFileOutput>(path, device);
}

}  // namespace ooa
