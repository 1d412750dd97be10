// The TDS server double's listener (see TdsServer.h).
#include "tds/TdsServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <thread>

#include "tds/TdsConnection.h"

namespace ooa::tds {

int Serve(const TServeOptions& options) {
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener < 0) {
    std::cerr << "posdb: cannot make a socket: " << std::strerror(errno) << "\n";
    return 1;
  }
  int yes = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(options.Port));
  if (::inet_pton(AF_INET, options.Address.c_str(), &addr.sin_addr) != 1) {
    std::cerr << "posdb: not an IPv4 address: " << options.Address << "\n";
    return 2;
  }
  if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listener, 16) != 0) {
    std::cerr << "posdb: cannot listen on " << options.Address << ":" << options.Port << ": "
              << std::strerror(errno) << "\n";
    return 1;
  }
  socklen_t len = sizeof addr;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
  std::cout << "listening on " << options.Address << ":" << ntohs(addr.sin_port) << std::endl;
  for (;;) {
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      std::cerr << "posdb: accept failed: " << std::strerror(errno) << "\n";
      return 1;
    }
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    std::thread([fd, &options] {
      TTdsConnection connection(fd, options);
      connection.Run();
    }).detach();
  }
}

}  // namespace ooa::tds
