// The ODBC side of the POS database connection: which driver a connection
// uses, how the settings' server and database names become an ODBC connection
// text for it, and the timeouts a session uses. Plain functions and values;
// any thread.
//
// The POS database on a real SQL Server is reached with SQL Server
// authentication under the POS system's fixed login; the settings file holds
// no credentials.
#pragma once

#include <string>
#include <vector>

namespace ooa {

// The login every connection uses.
inline constexpr const char* kPosLoginUser = "Tillora";
inline constexpr const char* kPosLoginPassword = "Kelrov319702";

// Driver name as the tdsodbc package registers it in /etc/odbcinst.ini: the
// driver of the Linux edition when the settings name none.
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

// The SQL Server drivers the Windows edition looks for when the settings name
// none, best first: Microsoft's current drivers, the one every Windows
// carries, and FreeTDS (which is also what Wine's odbc32 finds on Linux).
inline const std::vector<std::string> kSqlServerDrivers = {
    "ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server", "SQL Server", "FreeTDS"};

// The driver to connect with: the configured name (blanks around it trimmed)
// when there is one, else the first of kSqlServerDrivers that `installed`
// lists (names compare without regard to letter case), else "" (none).
std::string ChooseOdbcDriver(const std::string& configured, const std::vector<std::string>& installed);

// What a driver name is, for the keywords its connection text carries.
enum class TOdbcDriverKind {
  Microsoft,  // "ODBC Driver NN for SQL Server", "SQL Server Native Client NN"
  Legacy,     // "SQL Server", the old driver that comes with Windows
  FreeTds,    // "FreeTDS", or a path to its library (libtdsodbc.so, tdsodbc.dll)
  Other,      // anything else a shop may have configured
};
TOdbcDriverKind OdbcDriverKindOf(const std::string& driver);

// One value in ODBC connection-text syntax: always wrapped in {...}, with every
// '}' doubled, so ';', '=', '{' and '}' inside a configured name cannot change
// the meaning of the connection text.
std::string OdbcQuote(const std::string& value);

// The server name as FreeTDS understands it: "host", "host\instance" or
// "host,port" pass unchanged; the SQL Server shorthands "(local)", "." and
// "localhost" for this machine all become "localhost" (an instance or port
// after them is kept).
std::string OdbcServerAddress(const std::string& serverName);

// The full connection text: driver, server, database, the fixed login and
// what the kind of driver needs, e.g. (each on one line)
//   Driver={FreeTDS};Server={db01\POS};Database={TilloraPOS};UID={Tillora};
//   PWD={Kelrov319702};TDS_Version=7.4;ClientCharset=UTF-8
//   Driver={ODBC Driver 18 for SQL Server};Server={db01\POS};Database={TilloraPOS};
//   UID={Tillora};PWD={Kelrov319702};Encrypt=yes;TrustServerCertificate=yes
// FreeTDS: the protocol version is fixed because the driver's automatic choice
// retries older protocols after a timeout and can then hang past the login
// timeout; the server name's shorthands for this machine become "localhost"
// (OdbcServerAddress). Microsoft's drivers and the legacy one take the server
// name as typed (they know every SQL Server form of it). Encryption per kind
// is explained in OdbcConnection.cpp. driver may be a registered name or a
// library path. The timeouts are set as connection and statement attributes,
// not in the text.
std::string OdbcConnectionText(const std::string& serverName, const std::string& databaseName,
                               const std::string& driver = kOdbcDefaultDriver);

}  // namespace ooa
