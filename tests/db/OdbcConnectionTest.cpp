// Which SQL Server driver a connection uses and the connection text it gets:
// plain functions, the same in both editions, no server needed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/odbc/OdbcConnection.h"

namespace ooa {
namespace {

TEST(OdbcDriverChoice, TheSettingsWinElseTheBestInstalledSqlServerDriver) {
  const std::string d18 = "ODBC Driver 18 for SQL Server", d17 = "ODBC Driver 17 for SQL Server";
  struct TCase {
    const char* Name;
    std::string Configured;
    std::vector<std::string> Installed;
    std::string Expected;
  } cases[] = {
      {"all four: the newest", "", {"FreeTDS", "SQL Server", d17, d18}, d18},
      {"preference, not listing order", "", {"SQL Server", "Microsoft Access Driver (*.mdb, *.accdb)", d17}, d17},
      {"only the one Windows carries", "", {"SQL Server", "FreeTDS"}, "SQL Server"},
      {"letter case of the listing", "", {"freetds"}, "FreeTDS"},
      {"no SQL Server driver", "", {"Microsoft Access Driver (*.mdb)", "SQL Server Native Client 11.0"}, ""},
      {"nothing installed", "", {}, ""},
      {"configured beats installed", "FreeTDS", {d18}, "FreeTDS"},
      {"configured, blanks trimmed, even if not listed", "  ODBC Driver 19 for SQL Server ", {d18},
       "ODBC Driver 19 for SQL Server"},
      {"blank setting counts as none", "   ", {d17}, d17},
  };
  for (const TCase& c : cases) EXPECT_EQ(ChooseOdbcDriver(c.Configured, c.Installed), c.Expected) << c.Name;
}

TEST(OdbcConnectionText, EachDriverGetsTheLoginAndItsOwnKeywords) {
  const std::string login = "UID={Tillora};PWD={Kelrov319702}";
  const std::string tds = ";TDS_Version=7.4;ClientCharset=UTF-8";
  const std::string tls = ";Encrypt=yes;TrustServerCertificate=yes";
  struct TCase {
    const char* Driver;
    const char* Server;
    const char* Database;
    std::string Expected;
  } cases[] = {
      // FreeTDS: the text the Linux edition has always used.
      {"FreeTDS", "db01\\POS", "TilloraPOS",
       "Driver={FreeTDS};Server={db01\\POS};Database={TilloraPOS};" + login + tds},
      // ';' and '}' in a name cannot end the value or add a keyword.
      {"FreeTDS", "srv;UID=sa", "Shop}Data;PWD=x",
       "Driver={FreeTDS};Server={srv;UID=sa};Database={Shop}}Data;PWD=x};" + login + tds},
      // FreeTDS does not know this machine's shorthands; instance and port stay.
      {"FreeTDS", "(local)\\SQLEXPRESS", "POS",
       "Driver={FreeTDS};Server={localhost\\SQLEXPRESS};Database={POS};" + login + tds},
      {"FreeTDS", ".,1433", "POS", "Driver={FreeTDS};Server={localhost,1433};Database={POS};" + login + tds},
      {"/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so", " .\\POS ", "POS",
       "Driver={/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so};Server={localhost\\POS};Database={POS};" + login +
           tds},
      // Microsoft's drivers: encrypted, the shop server's own certificate
      // accepted; the server name as typed (they know "(local)" and ".").
      {"ODBC Driver 18 for SQL Server", "(local)\\SQLEXPRESS", "TilloraPOS",
       "Driver={ODBC Driver 18 for SQL Server};Server={(local)\\SQLEXPRESS};Database={TilloraPOS};" + login +
           tls},
      {"ODBC Driver 17 for SQL Server", "srv;UID=sa", "Shop}Data",
       "Driver={ODBC Driver 17 for SQL Server};Server={srv;UID=sa};Database={Shop}}Data};" + login + tls},
      {"SQL Server Native Client 11.0", ".", "POS",
       "Driver={SQL Server Native Client 11.0};Server={.};Database={POS};" + login + tls},
      // The legacy driver cannot accept a self-signed certificate.
      {"sql server", "db01", "POS", "Driver={sql server};Server={db01};Database={POS};" + login + ";Encrypt=no"},
      // A driver of the shop's own choosing gets the common keywords only.
      {"Some Other Driver", "db01", "POS", "Driver={Some Other Driver};Server={db01};Database={POS};" + login},
  };
  for (const TCase& c : cases) EXPECT_EQ(OdbcConnectionText(c.Server, c.Database, c.Driver), c.Expected) << c.Driver;
  // Without a driver named: FreeTDS, as on Linux.
  EXPECT_EQ(OdbcConnectionText("db01", "POS"), "Driver={FreeTDS};Server={db01};Database={POS};" + login + tds);
}

}  // namespace
}  // namespace ooa
