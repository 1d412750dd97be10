// TPosServer: the POS database of a test reached the way a shop reaches it,
// through ODBC (unixODBC and FreeTDS) to `posdb serve`, when the test runs
// over ODBC (the environment variable OOA_TEST_ODBC is "1"; ctest's `odbc`
// runs set it); otherwise the embedded file directly, as always. Owned by the
// test's fixture, which keeps it alive longer than its database module; test
// thread only. Stop() (also from the destructor) ends the server.
#pragma once

#include <string>

#include "config/Config.h"
#include "support/ServerProcess.h"

namespace ooa::test {

// Whether this run goes through ODBC.
bool OdbcRun();

class TPosServer {
 public:
  // Points config at the database file: (EMBEDDED) and the file, or in an
  // ODBC run "127.0.0.1,PORT" of a `posdb serve` started on the file, and the
  // database name "POS". A server started before for another file ends
  // first. Throws std::runtime_error when the server does not start.
  void PointAt(TConfig& config, const std::string& file);
  // The server name to put in a settings file (as PointAt sets it).
  std::string ServerName() const { return Server; }
  void Stop() { Process.Stop(); }
  bool Running() const { return !Server.empty(); }

 private:
  TServerProcess Process;
  std::string Server;
};

}  // namespace ooa::test
