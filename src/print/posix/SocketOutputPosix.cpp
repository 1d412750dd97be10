// Raw output to a network receipt printer over TCP (socket://host:port).
// Connect and every send are bounded; each piece is sent at once (no Nagle delay).
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "print/PrinterOutput.h"

namespace ooa {

namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

// Waits until fd is ready for the events or the time is up; false on time-out.
bool WaitFor(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  for (;;) {
    int r = ::poll(&p, 1, timeoutMs);
    if (r > 0) return true;
    if (r == 0) return false;
    if (errno != EINTR) return false;
  }
}

class TSocketOutput : public IPrinterOutput {
 public:
  TSocketOutput(const std::string& host, int port) : Where(host + ":" + std::to_string(port)) {
    const TPrinterTimings t = PrinterTimings();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
    if (rc != 0) throw TPrintError("Printer " + Where + ": " + gai_strerror(rc));
    std::string lastError = "no address";
    for (addrinfo* a = list; a != nullptr && Fd < 0; a = a->ai_next) {
      int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
      if (fd < 0) {
        lastError = ErrnoText(errno);
        continue;
      }
      int err = 0;
      if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
        err = errno;
        if (err == EINPROGRESS) {
          if (!WaitFor(fd, POLLOUT, t.ConnectTimeoutMs)) {
            err = ETIMEDOUT;
          } else {
            socklen_t len = sizeof err;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
          }
        }
      }
      if (err != 0) {
        lastError = ErrnoText(err);
        ::close(fd);
        continue;
      }
      Fd = fd;
    }
    ::freeaddrinfo(list);
    if (Fd < 0) throw TPrintError("Printer " + Where + ": " + lastError);
    int one = 1;
    ::setsockopt(Fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  }

  ~TSocketOutput() override {
    if (Fd >= 0) ::close(Fd);
  }

  void Write(std::string_view data) override {
    if (Fd < 0) throw TPrintError("Printer " + Where + ": the connection is closed");
    const int timeoutMs = PrinterTimings().IoTimeoutMs;
    size_t done = 0;
    while (done < data.size()) {
      ssize_t n = ::send(Fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
      if (n >= 0) {
        done += static_cast<size_t>(n);
        continue;
      }
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        if (WaitFor(Fd, POLLOUT, timeoutMs)) continue;
        throw TPrintError("Printer " + Where + ": the printer takes no data (time-out)");
      }
      throw TPrintError("Printer " + Where + ": " + ErrnoText(errno));
    }
  }

  void Finish() override {
    if (Fd < 0) return;
    ::shutdown(Fd, SHUT_WR);
    // Read until the printer closes its side too, so that nothing it still has
    // to read is thrown away by a reset; bounded.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(PrinterTimings().IoTimeoutMs);
    // A reset says the printer closed with part of the receipt unread: all of
    // it had left here, but not all of it was printed.
    // A printer that never closes took the connection but not the receipt
    // (it reads nothing, or its buffer stays full): without its close nothing
    // says the receipt was printed, so it counts as not printed.
    char buf[512];
    int err = 0;
    bool closed = false;
    for (;;) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
      if (left <= 0 || !WaitFor(Fd, POLLIN, static_cast<int>(left))) break;
      ssize_t n = ::recv(Fd, buf, sizeof buf, 0);
      if (n > 0 || (n < 0 && errno == EINTR)) continue;
      if (n < 0) err = errno;
      closed = true;
      break;
    }
    int unsent = 0;
    if (!closed && ::ioctl(Fd, SIOCOUTQ, &unsent) != 0) unsent = 0;
    ::close(Fd);
    Fd = -1;
    if (err == ECONNRESET) throw TPrintError("Printer " + Where + ": the printer dropped the connection before the end");
    if (err != 0) throw TPrintError("Printer " + Where + ": " + ErrnoText(err));
    if (!closed) {
      const std::string seconds = std::to_string((PrinterTimings().IoTimeoutMs + 999) / 1000);
      if (unsent > 0)
        throw TPrintError("Printer " + Where + ": the printer takes no data (" + std::to_string(unsent) +
                          " bytes of the receipt unsent after " + seconds + " s)");
      throw TPrintError("Printer " + Where + ": the printer did not finish the receipt within " + seconds + " s");
    }
  }

 private:
  std::string Where;
  int Fd = -1;
};

}  // namespace

std::unique_ptr<IPrinterOutput> OpenSocketOutput(const std::string& host, int port) {
  return std::make_unique<TSocketOutput>(host, port);
}

}  // namespace ooa
