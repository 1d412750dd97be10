// FreeTDS's own client, tsql, logs in to `posdb serve` and runs batches as it
// would on SQL Server; a wrong password is refused with SQL Server's login
// error.
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "db/odbc/OdbcFixture.h"
#include "support/TempDir.h"

namespace ooa::test {
namespace {

struct TTsqlRun {
  int ExitCode = -1;
  std::string Output;  // standard output and error
};

TTsqlRun Tsql(const std::string& server, const std::string& password, const std::string& input) {
  const size_t comma = server.find(',');
  TTempDir dir;
  const std::string in = dir.Write("in", input), out = dir.File("out");
  const std::string cmd = "tsql -H " + server.substr(0, comma) + " -p " + server.substr(comma + 1) +
                          " -U Tillora -P '" + password + "' <" + in + " >" + out + " 2>&1";
  const int status = std::system(cmd.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TTempDir::Read(out)};
}

TEST_F(OdbcTest, TsqlLogsInAndRunsABatch) {
  TTsqlRun r = Tsql(Pos.Config.ServerName, "Kelrov319702",
                    "Update Product Set Description = N'Lager Ü' Where ProductCode = N'BEER'\n"
                    "Select ProductCode, Description, StockQty1 From Product Order By ProductCode\ngo\nexit\n");
  EXPECT_EQ(r.ExitCode, 0) << r.Output;
  EXPECT_NE(r.Output.find("ProductCode\tDescription\tStockQty1\nBEER\tLager Ü\t120\nWINE\tShiraz\t10\n"),
            std::string::npos)
      << r.Output;
  EXPECT_NE(r.Output.find("(2 rows affected)"), std::string::npos) << r.Output;
  // The declared types reach the client: money and decimal with their scale.
  TTsqlRun types = Tsql(Pos.Config.ServerName, "Kelrov319702",
                        "Select Cast(12.5 As money) As M, Cast(1 As bit) As B, Cast(3.25 As decimal(10,3)) As D, "
                        "Cast(2.5 As float) As F\n"
                        "Select Cast(StockValue1 / 20 As money) As M From Product Where ProductCode = N'BEER'\n"
                        "go\nexit\n");
  EXPECT_NE(types.Output.find("M\tB\tD\tF\n12.5000\t1\t3.250\t2.5\n"), std::string::npos) << types.Output;
  EXPECT_NE(types.Output.find("M\n12.0000\n"), std::string::npos) << types.Output;
  EXPECT_EQ(Pos.Value("Select Description From Product Where ProductCode = N'BEER'").AsString(), "Lager Ü");

  TTsqlRun refused = Tsql(Pos.Config.ServerName, "wrong", "Select 1\ngo\nexit\n");
  EXPECT_NE(refused.ExitCode, 0);
  EXPECT_NE(refused.Output.find("Login failed for user 'Tillora'"), std::string::npos) << refused.Output;
}

}  // namespace
}  // namespace ooa::test
