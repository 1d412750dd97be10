// One client connection of the TDS server double: PRELOGIN, LOGIN7, then SQL
// batches until the client leaves. Owns its socket and its embedded session;
// runs on a thread of its own (see TdsServer.h).
#pragma once

#include <memory>
#include <string>

#include "db/DbSession.h"
#include "tds/TdsPackets.h"
#include "tds/TdsServer.h"

namespace ooa::tds {

class TTdsConnection {
 public:
  TTdsConnection(int fd, const TServeOptions& options) : Socket(fd), Options(options) {}
  ~TTdsConnection();
  // Serves the connection until it ends; closes the socket.
  void Run();

 private:
  bool Login();
  // Runs one batch and sends its reply; false when the client is gone.
  bool Batch(const std::string& data);
  void Log(const std::string& line) const;

  TPacketSocket Socket;
  const TServeOptions& Options;
  std::unique_ptr<IDbSession> Session;
  std::string Database;
};

}  // namespace ooa::tds
