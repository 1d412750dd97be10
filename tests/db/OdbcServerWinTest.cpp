// The Windows edition's session on a SQL Server: the driver chosen from what
// SQLDrivers lists, the wide ODBC calls and their UTF-8 <-> UTF-16 edge.
// Needs a server: OOA_TEST_ODBC_SERVER names it ("127.0.0.1,PORT" of a
// `posdb serve` on a database file, as scripts/test-wine-odbc.sh starts one;
// under Wine the driver is the host's FreeTDS). Skipped without it; Windows
// build only.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcSession.h"

namespace ooa {
namespace {

std::string ServerUnderTest() {
  const char* server = std::getenv("OOA_TEST_ODBC_SERVER");
  return server ? server : "";
}

TEST(OdbcServerWin, ConnectsWithAnInstalledDriverAndKeepsTextIntact) {
  const std::string server = ServerUnderTest();
  if (server.empty()) GTEST_SKIP() << "OOA_TEST_ODBC_SERVER is not set";
  TOdbcSession session(server, "POS");  // no driver named: the installed one
  session.Open();
  ASSERT_TRUE(session.IsOpen());
  const std::string& text = session.ConnectionText();
  EXPECT_TRUE(std::any_of(kSqlServerDrivers.begin(), kSqlServerDrivers.end(),
                          [&](const std::string& d) { return text.rfind("Driver={" + d + "};", 0) == 0; }))
      << text;

  // Beyond any ANSI code page, and a value longer than one piece of
  // SQLGetData (a surrogate pair across the boundary).
  const std::string mixed = "Gr\xC3\xBC\xC3\x9F" "e \xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x8D\x95";
  std::string longText(2046, 'x');
  longText += "\xF0\x9F\x8D\x95";
  longText += std::string(3000, 'y');
  const TQueryResult r = session.Query("Select N'" + mixed + "' As Mixed, N'" + longText +
                                       "' As Long, Cast(-0.5 As decimal(9,4)) As Half");
  ASSERT_EQ(r.Sets.size(), 1u);
  ASSERT_EQ(r.Sets[0].Rows.size(), 1u);
  const auto& row = r.Sets[0].Rows[0];
  EXPECT_EQ(r.Sets[0].Columns[0], "Mixed");
  EXPECT_EQ(row[0].Text, mixed);
  EXPECT_EQ(row[1].Text, longText);
  EXPECT_EQ(row[2].Text, "-0.5");

  // A failing batch reports the server's message in UTF-8.
  try {
    session.Query("Select * From [NoSuch " + mixed + "]");
    ADD_FAILURE() << "no error";
  } catch (const TDbError& e) {
    EXPECT_NE(std::string(e.what()).find("NoSuch " + mixed), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace ooa
#endif  // _WIN32
