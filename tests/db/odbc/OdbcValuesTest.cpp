// What comes back through ODBC from `posdb serve` is what the embedded
// session reads from the same file: every type the service reads, NULLs,
// Unicode, long texts, several result sets; and errors, also after a first
// result set, reach the caller as errors.
#include <unistd.h>

#include <sqlite3.h>

#include <chrono>
#include <thread>
#include <string>
#include <vector>

#include "db/odbc/OdbcFixture.h"
#include "support/PosDatabase.h"
#include "support/ServerProcess.h"

namespace ooa::test {
namespace {

std::string Show(const TQueryResult& r) {
  std::string out;
  for (const TRecordSet& set : r.Sets) {
    out += "[";
    for (const std::string& c : set.Columns) out += c + "|";
    out += "]\n";
    for (const auto& row : set.Rows) {
      for (const TDbValue& v : row)
        out += (v.IsNull() ? std::string("NULL") : std::to_string(static_cast<int>(v.Kind)) + ":" + v.Text) + "|";
      out += "\n";
    }
  }
  return out;
}

TEST_F(OdbcTest, ValuesReadAsTheEmbeddedSessionReadsThem) {
  const std::string longText(5000, 'x');
  Pos.Exec("Insert Into Customer(CustomerCode, CustomerName, Notes, Birthday, CreditLimit, Live) Values"
           "(N'C1', N'Zoë 王 😀 \"q\" ''s''', N'" + longText + "', '2026-12-08 13:30:45.120', 1234.5678, 1),"
           "(N'C2', Null, N'', Null, 0, 0);");
  // A float that its 17-digit text does not show as typed (3.6400000000000001).
  Pos.Exec("Update Product Set LastOrderPrice = 3.64, StockValue1 = 0.35 Where ProductCode = N'BEER';");
  const std::vector<std::string> queries = {
      "Select CustomerCode, CustomerName, Notes, Birthday, CreditLimit, Live From Customer Order By CustomerCode",
      "Select ProductCode, StockQty1, StockValue1, LastOrderPrice, SalesPrice1, GSTRate From Product "
      "Order By ProductCode",
      "Select Count(*) As N, Sum(StockQty1) As Total, Max(ProductCode) As Last From Product",
      "Select 1 As A; Select N'two' As B Where 1=0; Select Cast(12.5 As money) As M, Cast(2 As bigint) As Big, "
      "Cast(1 As bit) As Flag, Cast(3.25 As decimal(10,2)) As D, Cast(Null As int) As Nothing, "
      "Cast(N'Zoë € 5' As varchar(20)) As Latin, Cast(-12.5 As money) As Refund",
  };
  for (const std::string& q : queries) {
    auto odbc = Connect();
    EXPECT_EQ(Show(odbc->Query(q)), Show(Embedded->Query(q))) << q;
  }
}

TEST_F(OdbcTest, AnErrorAfterAFirstResultSetIsAnError) {
  auto odbc = Connect();
  // The batch goes on after the failed insert, as SQL Server's does; the
  // caller gets the error all the same, not the rows before it.
  const std::string batch =
      "Select ProductCode From Product; Insert Into Product(ProductCode) Values(N'BEER'); Select 2 As B";
  try {
    odbc->Query(batch);
    ADD_FAILURE() << "no error";
  } catch (const TDbError& e) {
    EXPECT_NE(std::string(e.what()).find("UNIQUE"), std::string::npos) << e.what();
    EXPECT_EQ(e.Number, 2627);  // SQL Server's number for a duplicate key
  }
  // The connection goes on working.
  EXPECT_EQ(odbc->Query("Select 7 As N").First().Rows.at(0).at(0).AsInteger(), 7);
  // Through the service's module: a failure, not a success.
  std::string error;
  EXPECT_FALSE(Pos.Db.ExecQueryPro(batch, error));
  EXPECT_FALSE(error.empty());
}

// The application lock belongs to the connection: a second connection is
// refused while the first holds it, and gets it once the first has gone.
TEST_F(OdbcTest, TheApplicationLockGoesWithItsConnection) {
  const std::string take =
      "Declare @r int; Exec @r = sp_getapplock @Resource=N'Tillora Online Order Adaptor', @LockMode=N'Exclusive', "
      "@LockOwner=N'Session', @LockTimeout=0; Select @r As Result";
  auto first = Connect();
  auto second = Connect();
  EXPECT_EQ(first->Query(take).First().Rows.at(0).at(0).AsInteger(), 0);
  EXPECT_EQ(second->Query(take).First().Rows.at(0).at(0).AsInteger(), -1);
  first->Close();
  int granted = -1;
  // The server sees the connection close a moment later.
  for (int i = 0; i < 100 && granted != 0; ++i) {
    granted = static_cast<int>(second->Query(take).First().Rows.at(0).at(0).AsInteger());
    if (granted != 0) ::usleep(20 * 1000);
  }
  EXPECT_EQ(granted, 0);
}

// A batch that outlasts the statement time-out is cancelled: the driver's
// attention stops it at its next statement, its transaction is rolled back,
// and the connection goes on working. (The driver waits one more time-out for
// the server's answer to the attention, then drops the connection: a single
// statement that runs on is not stopped, and the drop rolls it back.)
TEST_F(OdbcTest, ABatchPastItsTimeOutIsCancelledAndRolledBack) {
  // Another writer holds the file for 3 s: the batch waits at its Begin Tran,
  // past the 2 s time-out, and goes on before the driver gives up at 4 s.
  sqlite3* blocker = nullptr;
  ASSERT_EQ(sqlite3_open(Pos.Path().c_str(), &blocker), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(blocker, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread release([blocker] {
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    sqlite3_exec(blocker, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(blocker);
  });
  TOdbcTimeouts timeouts;
  timeouts.StatementSeconds = 2;
  TOdbcSession odbc(Pos.Config.ServerName, Pos.Config.DatabaseName, kOdbcDefaultDriver, timeouts);
  odbc.Open();
  EXPECT_THROW(odbc.Query("Begin Tran; Update Product Set StockQty1 = 1 Where ProductCode = N'BEER'; "
                          "Update Product Set StockQty1 = 2 Where ProductCode = N'WINE'; Commit Tran"),
               TDbError);
  release.join();
  const TRecordSet stock = odbc.Query("Select StockQty1 From Product Order By ProductCode").First();
  ASSERT_EQ(stock.RecordCount(), 2);
  EXPECT_EQ(stock.Rows[0][0].AsFloat(), 120);
  EXPECT_EQ(stock.Rows[1][0].AsFloat(), 10);
}

// Every Insert, Update and Delete is a result of its own through ODBC: a batch
// with more of them than any fixed number is read to its end, and an error at
// its end is not lost.
TEST_F(OdbcTest, ABatchOfManyStatementsIsReadToItsEnd) {
  auto odbc = Connect();
  EXPECT_THROW(odbc->Execute("Declare @i int; Set @i = 0; Begin Tran; While @i < 120000 Begin "
                             "Update Product Set StockQty1 = StockQty1 + 1 Where ProductCode = N'BEER'; "
                             "Set @i = @i + 1 End; Commit Tran; Insert Into Product(ProductCode) Values(N'BEER')"),
               TDbError);
  EXPECT_EQ(Pos.Value("Select StockQty1 From Product Where ProductCode = N'BEER'").AsFloat(), 120120);
}

// A server that goes away fails the batch that finds it gone; once it is back
// (here on the same port) the next batch connects again and runs.
TEST_F(OdbcTest, TheSessionConnectsAgainAfterTheServerWasGone) {
  auto odbc = Connect();
  EXPECT_EQ(odbc->Query("Select 1 As N").First().Rows.at(0).at(0).AsInteger(), 1);
  const std::string port = Pos.Config.ServerName.substr(Pos.Config.ServerName.find(',') + 1);
  Pos.Server.Stop();
  EXPECT_THROW(odbc->Query("Select 2 As N"), TDbError);
  EXPECT_THROW(odbc->Query("Select 3 As N"), TDbError);  // still gone: connecting fails
  TServerProcess again;
  again.Start({PosdbPath(), "serve", Pos.Path(), "--port", port}, "posdb serve");
  EXPECT_EQ(odbc->Query("Select 4 As N").First().Rows.at(0).at(0).AsInteger(), 4);
}

}  // namespace
}  // namespace ooa::test
