// TTdsServer: an embedded POS database file behind the TDS protocol (7.4),
// enough for the FreeTDS ODBC driver and its tsql client to use it as they use
// SQL Server. A test double: no encryption, SQL Server authentication with
// one login, one database, one batch at a time per connection.
//
// Run() accepts connections on its own thread and gives each one a thread and
// an embedded session of its own, which lives as long as the connection: a
// dropped connection closes its session, so its application locks go, and a
// batch that is still running when the drop is seen is rolled back.
#pragma once

#include <string>

namespace ooa::tds {

struct TServeOptions {
  std::string File;      // the embedded database file
  std::string Address = "127.0.0.1";
  int Port = 1433;       // 0: any free port
  std::string Login;     // the one login accepted
  std::string Password;
  bool Verbose = false;  // each batch is logged on standard error
};

// Listens, prints "listening on ADDRESS:PORT" on standard output, and serves
// until the process ends. Returns (non-zero) only when it cannot listen.
int Serve(const TServeOptions& options);

}  // namespace ooa::tds
