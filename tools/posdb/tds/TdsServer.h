// The TDS server double: an embedded POS database file behind the TDS protocol (7.4),
// enough for the FreeTDS ODBC driver and its tsql client to use it as they use
// SQL Server. A test double: no encryption, SQL Server authentication with
// one login, one database, one batch at a time per connection.
//
// Serve() accepts connections on the calling thread and gives each one a
// thread and an embedded session of its own (TdsConnection.h), which lives as
// long as the connection: a dropped connection closes its session, so its
// application locks go, and a batch still running when the drop is seen (at
// its next statement) is rolled back.
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
