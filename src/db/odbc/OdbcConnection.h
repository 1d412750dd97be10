// The ODBC side of the POS database connection: how the settings' server and
// database names become an ODBC connection text for the FreeTDS driver, and
// the timeouts a session uses. Plain functions and values; any thread.
//
// The POS database on a real SQL Server is reached with SQL Server
// authentication under the POS system's fixed login; the settings file holds
// no credentials.
#pragma once

#include <string>

namespace ooa {

// The login every connection uses.
inline constexpr const char* kPosLoginUser = "Tillora";
inline constexpr const char* kPosLoginPassword = "Kelrov319702";

// Driver name as the tdsodbc package registers it in /etc/odbcinst.ini.
inline constexpr const char* kOdbcDefaultDriver = "FreeTDS";
// Where Debian puts the FreeTDS ODBC library; used when no driver of the
// default name is registered.
inline constexpr const char* kOdbcDefaultDriverLibrary =
    "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so";

struct TOdbcTimeouts {
  // Seconds to establish the connection and log in (the usual SQL Server
  // client default); an unreachable server fails after this long.
  int LoginSeconds = 15;
  // Seconds one batch may run before it is cancelled (a batch waiting for
  // another writer's Version lock gives up after this long).
  int StatementSeconds = 300;
};

// One value in ODBC connection-text syntax: always wrapped in {...}, with every
// '}' doubled, so ';', '=', '{' and '}' inside a configured name cannot change
// the meaning of the connection text.
std::string OdbcQuote(const std::string& value);

// The server name as FreeTDS understands it: "host", "host\instance" or
// "host,port" pass unchanged; the SQL Server shorthands "(local)", "." and
// "localhost" for this machine all become "localhost" (an instance or port
// after them is kept).
std::string OdbcServerAddress(const std::string& serverName);

// The full connection text: driver, server, database, the fixed login, the
// TDS protocol version and UTF-8 as client character set, e.g. (on one line)
//   Driver={FreeTDS};Server={db01\POS};Database={TilloraPOS};UID={Tillora};
//   PWD={Kelrov319702};TDS_Version=7.4;ClientCharset=UTF-8
// The version is fixed because the driver's automatic choice retries older
// protocols after a timeout and can then hang past the login timeout.
// driver may be a registered name or a library path. The timeouts are set as
// connection and statement attributes, not in the text.
std::string OdbcConnectionText(const std::string& serverName, const std::string& databaseName,
                               const std::string& driver = kOdbcDefaultDriver);

}  // namespace ooa
