// The ODBC session against a loopback port that refuses or never answers
// (the connection text is in OdbcConnectionTest.cpp). The listener uses POSIX
// sockets, so these run in the Linux build only.
#ifndef _WIN32
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "db/DatabaseModule.h"
#include "db/odbc/OdbcSession.h"

namespace ooa {
namespace {

// A loopback listener: it accepts connections (when `accept` is set) but never
// answers; without it the port is closed and connecting is refused.
class TSilentServer {
 public:
  explicit TSilentServer(bool accept) {
    Fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(Fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    socklen_t len = sizeof(addr);
    getsockname(Fd, reinterpret_cast<sockaddr*>(&addr), &len);
    Port = ntohs(addr.sin_port);
    if (accept) {
      listen(Fd, 8);  // the kernel completes the handshake; nobody ever replies
    } else {
      close(Fd);
      Fd = -1;
    }
  }
  ~TSilentServer() {
    if (Fd >= 0) close(Fd);
  }
  std::string Server() const { return "127.0.0.1," + std::to_string(Port); }

 private:
  int Fd = -1;
  int Port = 0;
};

TEST(OdbcSession, FailsWithinTheLoginTimeoutWhenNoServerAnswers) {
  for (bool listening : {false, true}) {
    TSilentServer server(listening);
    TOdbcTimeouts timeouts;
    timeouts.LoginSeconds = 2;
    TOdbcSession session(server.Server(), "POS", kOdbcDefaultDriver, timeouts);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(session.Open(), TDbError) << "listening: " << listening;
    EXPECT_FALSE(session.IsOpen());
    // A hang would show here; the bound is far above the timeout on purpose.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(timeouts.LoginSeconds + 20))
        << "listening: " << listening;
  }
}

TEST(OdbcSession, TheModuleReportsAFailedConnectionAsFalse) {
  TSilentServer refused(false);
  TDatabaseModule module;
  TConfig config;
  config.ServerName = refused.Server();
  config.DatabaseName = "POS";
  EXPECT_FALSE(module.ConnectToServer(config));
  EXPECT_FALSE(module.Connected());
  EXPECT_FALSE(module.ExecQueryPro("Select 1"));
  EXPECT_THROW(module.SelectRows("Select 1"), TDbError);
  EXPECT_THROW(module.Select("Select 1"), TDbError);
  EXPECT_FALSE(module.SelectCompanyRows());
}

}  // namespace
}  // namespace ooa
#endif  // _WIN32
