// The test's POS database, embedded or over ODBC (see PosServer.h).
#include "support/PosServer.h"

#include "support/HostTools.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "support/PosDatabase.h"

namespace ooa::test {

bool OdbcRun() {
  const char* v = std::getenv("OOA_TEST_ODBC");
  return v && std::string(v) == "1";
}

void TPosServer::PointAt(TConfig& config, const std::string& file) {
  Process.Stop();
  Server.clear();
  if (!OdbcRun()) {
    config.ServerName = "(EMBEDDED)";
    config.DatabaseName = file;
    return;
  }
  // "listening on 127.0.0.1:PORT"; SQL Server names a port after a comma.
  // The server is a tool of the build machine (the Windows edition has none).
  std::vector<std::string> args = {HostProgram("tools/posdb/posdb"), "serve", HostPath(file), "--port", "0"};
  // OOA_TEST_ODBC_VERBOSE=1: the server logs each batch on the test's standard error.
  const char* verbose = std::getenv("OOA_TEST_ODBC_VERBOSE");
  if (verbose && std::string(verbose) == "1") args.push_back("--verbose");
  std::string address = Process.Start(args, "posdb serve");
  const size_t colon = address.rfind(':');
  Server = address.substr(0, colon) + "," + address.substr(colon + 1);
  config.ServerName = Server;
  config.DatabaseName = "POS";
}

}  // namespace ooa::test
