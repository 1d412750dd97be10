// Raw output to a network receipt printer over TCP (socket://host:port),
// through Winsock; the conversation itself is print/SocketConversation.
// Connect and every send are bounded; each piece is sent at once (no Nagle
// delay).
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <mutex>

#include "print/PrinterOutput.h"
#include "print/SocketConversation.h"
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
bool WaitForSocket(SOCKET s, bool write, int timeoutMs) {
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

// The socket calls the conversation makes, on a connected socket.
class TWinsockCalls : public ISocketCalls {
 public:
  explicit TWinsockCalls(SOCKET s) : Socket(s) {}
  TSocketIo Send(const char* data, size_t size) override {
    const int piece = static_cast<int>(std::min<size_t>(size, 1u << 20));
    return Outcome(::send(Socket, data, piece, 0));
  }
  TSocketIo Receive(char* buffer, size_t size) override {
    return Outcome(::recv(Socket, buffer, static_cast<int>(size), 0));
  }
  bool WaitFor(bool write, int timeoutMs) override { return WaitForSocket(Socket, write, timeoutMs); }
  void EndSending() override { ::shutdown(Socket, SD_SEND); }
  // Winsock does not tell how much of the receipt still waits to be sent; a
  // printer whose buffer stays full is caught by the send's time-out.
  long long Unsent() override { return -1; }

 private:
  static TSocketIo Outcome(int n) {
    if (n != SOCKET_ERROR) return {TSocketIo::Moved, static_cast<size_t>(n), {}};
    const int err = WSAGetLastError();
    if (err == WSAEINTR) return {TSocketIo::Retry, 0, {}};
    if (err == WSAEWOULDBLOCK) return {TSocketIo::WouldBlock, 0, {}};
    if (err == WSAECONNRESET || err == WSAECONNABORTED) return {TSocketIo::Reset, 0, {}};
    return {TSocketIo::Failed, 0, SystemErrorText(static_cast<unsigned long>(err))};
  }
  SOCKET Socket;
};

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
    TWinsockCalls calls(Socket);
    SendToPrinter(calls, Where, data);
  }

  void Finish() override {
    if (Socket == INVALID_SOCKET) return;
    struct TCloses {  // the socket closes whatever the end of the receipt says
      SOCKET& Socket;
      ~TCloses() {
        ::closesocket(Socket);
        Socket = INVALID_SOCKET;
      }
    } closes{Socket};
    TWinsockCalls calls(Socket);
    FinishWithPrinter(calls, Where);
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
