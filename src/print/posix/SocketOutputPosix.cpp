// Raw output to a network receipt printer over TCP (socket://host:port),
// through POSIX sockets; the conversation itself is print/SocketConversation.
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
#include <cstring>

#include "print/PrinterOutput.h"
#include "print/SocketConversation.h"

namespace ooa {

namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

// Waits until fd is ready for the events or the time is up; false on time-out.
bool WaitForFd(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  for (;;) {
    int r = ::poll(&p, 1, timeoutMs);
    if (r > 0) return true;
    if (r == 0) return false;
    if (errno != EINTR) return false;
  }
}

// The socket calls the conversation makes, on a connected socket.
class TPosixSocketCalls : public ISocketCalls {
 public:
  explicit TPosixSocketCalls(int fd) : Fd(fd) {}
  TSocketIo Send(const char* data, size_t size) override {
    return Outcome(::send(Fd, data, size, MSG_NOSIGNAL));
  }
  TSocketIo Receive(char* buffer, size_t size) override { return Outcome(::recv(Fd, buffer, size, 0)); }
  bool WaitFor(bool write, int timeoutMs) override { return WaitForFd(Fd, write ? POLLOUT : POLLIN, timeoutMs); }
  void EndSending() override { ::shutdown(Fd, SHUT_WR); }
  long long Unsent() override {
    int unsent = 0;
    return ::ioctl(Fd, SIOCOUTQ, &unsent) == 0 ? unsent : 0;
  }

 private:
  static TSocketIo Outcome(ssize_t n) {
    if (n >= 0) return {TSocketIo::Moved, static_cast<size_t>(n), {}};
    if (errno == EINTR) return {TSocketIo::Retry, 0, {}};
    if (errno == EAGAIN || errno == EWOULDBLOCK) return {TSocketIo::WouldBlock, 0, {}};
    if (errno == ECONNRESET || errno == EPIPE) return {TSocketIo::Reset, 0, {}};
    return {TSocketIo::Failed, 0, ErrnoText(errno)};
  }
  int Fd;
};

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
          if (!WaitForFd(fd, POLLOUT, t.ConnectTimeoutMs)) {
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
    TPosixSocketCalls calls(Fd);
    SendToPrinter(calls, Where, data);
  }

  void Finish() override {
    if (Fd < 0) return;
    struct TCloses {  // the socket closes whatever the end of the receipt says
      int& Fd;
      ~TCloses() {
        ::close(Fd);
        Fd = -1;
      }
    } closes{Fd};
    TPosixSocketCalls calls(Fd);
    FinishWithPrinter(calls, Where);
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
