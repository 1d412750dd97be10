// One client connection of the TDS server double: PRELOGIN, LOGIN7, then SQL
// batches until the client leaves. Owns its socket and its embedded session;
// runs on a thread of its own (see TdsServer.h).
#pragma once

#include <memory>
#include <string>

#include "db/session/DbSession.h"
#include "tds/TdsBytes.h"
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
  // Between the batch's statements: throws when the client has sent an
  // attention or closed the connection, so that the engine rolls back.
  void HearClient();
  // Appends a DONE to the reply and notes where its status is.
  void AddDone(uint16_t status, uint16_t command, uint64_t rows);
  void Log(const std::string& line) const;

  TPacketSocket Socket;
  const TServeOptions& Options;
  std::unique_ptr<IDbSession> Session;
  std::string Database;
  // The reply of the batch running now, and where its last DONE's status is.
  TBytes Reply;
  size_t LastDone = std::string::npos;
};

}  // namespace ooa::tds
