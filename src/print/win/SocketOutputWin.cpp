// Raw output to a network receipt printer over TCP (socket://host:port),
// through Winsock. Connect and every send are bounded; each piece is sent at
// once (no Nagle delay).
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <mutex>

#include "print/PrinterOutput.h"
#include "config/win/WideText.h"

namespace ooa {

namespace {

// Winsock is started once per process and left running until it ends.
void StartWinsock() {
  static std::once_flag once;
  static int result = 0;
  std::call_once(once, [] {
    WSADATA data;
    result = WSAStartup(MAKEWORD(2, 2), &data);
  });
  if (result != 0) throw TPrintError("Network printers: Winsock cannot start (" + SystemErrorText(result) + ")");
}

// Waits until the socket can be written to (write) or read from, or has
// failed or been closed; false on time-out. One poll entry per wait: select()
// with the socket in two sets makes Wine's server abort.
bool WaitFor(SOCKET s, bool write, int timeoutMs) {
  WSAPOLLFD entry{s, static_cast<SHORT>(write ? POLLWRNORM : POLLRDNORM), 0};
  return ::WSAPoll(&entry, 1, timeoutMs) > 0;
}

// Connects the socket (made non-blocking); 0 or the Winsock error, with
// WSAETIMEDOUT when the printer has not answered in time. The end of the
// connect comes as an FD_CONNECT event: WSAPoll does not report a refused
// connect on Windows 10 before version 2004, and select() would need the
// socket in two sets.
int Connect(SOCKET s, const sockaddr* address, int length, int timeoutMs) {
  WSAEVENT event = ::WSACreateEvent();
  if (event == WSA_INVALID_EVENT) return WSAGetLastError();
  int err = 0;
  if (::WSAEventSelect(s, event, FD_CONNECT) != 0) {
    err = WSAGetLastError();
  } else if (::connect(s, address, length) != 0) {
    err = WSAGetLastError();
    if (err == WSAEWOULDBLOCK) {
      WSANETWORKEVENTS happened{};
      if (::WaitForSingleObject(event, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
        err = WSAETIMEDOUT;
      else if (::WSAEnumNetworkEvents(s, event, &happened) != 0)
        err = WSAGetLastError();
      else
        err = (happened.lNetworkEvents & FD_CONNECT) ? happened.iErrorCode[FD_CONNECT_BIT] : WSAETIMEDOUT;
    }
  }
  ::WSAEventSelect(s, nullptr, 0);  // the socket stays non-blocking
  ::WSACloseEvent(event);
  return err;
}

class TSocketOutput : public IPrinterOutput {
 public:
  TSocketOutput(const std::string& host, int port) : Where(host + ":" + std::to_string(port)) {
    StartWinsock();
    const TPrinterTimings t = PrinterTimings();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
    if (rc != 0) throw TPrintError("Printer " + Where + ": " + SystemErrorText(static_cast<unsigned long>(rc)));
    std::string lastError = "no address";
    for (addrinfo* a = list; a != nullptr && Socket == INVALID_SOCKET; a = a->ai_next) {
      SOCKET s = ::WSASocketW(a->ai_family, a->ai_socktype, a->ai_protocol, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
      if (s == INVALID_SOCKET) {
        lastError = SystemErrorText(WSAGetLastError());
        continue;
      }
      const int err = Connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen), t.ConnectTimeoutMs);
      if (err != 0) {
        lastError = SystemErrorText(static_cast<unsigned long>(err));
        ::closesocket(s);
        continue;
      }
      Socket = s;
    }
    ::freeaddrinfo(list);
    if (Socket == INVALID_SOCKET) throw TPrintError("Printer " + Where + ": " + lastError);
    BOOL one = TRUE;
    ::setsockopt(Socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
  }

  ~TSocketOutput() override {
    if (Socket != INVALID_SOCKET) ::closesocket(Socket);
  }

  void Write(std::string_view data) override {
    if (Socket == INVALID_SOCKET) throw TPrintError("Printer " + Where + ": the connection is closed");
    const int timeoutMs = PrinterTimings().IoTimeoutMs;
    size_t done = 0;
    while (done < data.size()) {
      const int piece = static_cast<int>(std::min<size_t>(data.size() - done, 1u << 20));
      const int n = ::send(Socket, data.data() + done, piece, 0);
      if (n != SOCKET_ERROR) {
        done += static_cast<size_t>(n);
        continue;
      }
      const int err = WSAGetLastError();
      if (err == WSAEINTR) continue;
      if (err == WSAEWOULDBLOCK) {
        if (WaitFor(Socket, true, timeoutMs)) continue;
        throw TPrintError("Printer " + Where + ": the printer takes no data (time-out)");
      }
      if (err == WSAECONNRESET || err == WSAECONNABORTED)
        throw TPrintError("Printer " + Where + ": the printer dropped the connection before the end");
      throw TPrintError("Printer " + Where + ": " + SystemErrorText(static_cast<unsigned long>(err)));
    }
  }

  void Finish() override {
    if (Socket == INVALID_SOCKET) return;
    ::shutdown(Socket, SD_SEND);
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
      if (left <= 0 || !WaitFor(Socket, false, static_cast<int>(left))) break;
      const int n = ::recv(Socket, buf, sizeof buf, 0);
      if (n > 0) continue;
      if (n == SOCKET_ERROR) {
        err = WSAGetLastError();
        if (err == WSAEINTR || err == WSAEWOULDBLOCK) {
          err = 0;
          continue;
        }
      }
      closed = true;
      break;
    }
    ::closesocket(Socket);
    Socket = INVALID_SOCKET;
    if (err == WSAECONNRESET || err == WSAECONNABORTED)
      throw TPrintError("Printer " + Where + ": the printer dropped the connection before the end");
    if (err != 0) throw TPrintError("Printer " + Where + ": " + SystemErrorText(static_cast<unsigned long>(err)));
    if (!closed) {
      // Winsock does not tell how much of the receipt still waits to be sent;
      // a printer whose buffer stays full is caught by Write's time-out.
      const std::string seconds = std::to_string((PrinterTimings().IoTimeoutMs + 999) / 1000);
      throw TPrintError("Printer " + Where + ": the printer did not finish the receipt within " + seconds + " s");
    }
  }

 private:
  std::string Where;
  SOCKET Socket = INVALID_SOCKET;
};

}  // namespace

std::unique_ptr<IPrinterOutput> OpenSocketOutput(const std::string& host, int port) {
  return std::make_unique<TSocketOutput>(host, port);
}

}  // namespace ooa
