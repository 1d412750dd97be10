// A server that dies in the middle of an invoice batch leaves no half invoice:
// the batch's transaction is lost whole, the pass reports a failure, and the
// next pass, on a new server, writes the whole invoice once. A service killed
// in the middle of its invoice batch leaves nothing either: the server rolls
// the batch back when it finds the connection gone.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "db/DatabaseModule.h"
#include "sync/OrderImport.h"
#include "sync/orders/OrderFixture.h"
#include "db/odbc/OdbcFixture.h"
#include "support/FixedClock.h"

namespace ooa::test {
namespace {

// Runs SQLite statements on the file, beside the engine.
void Raw(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  sqlite3_busy_timeout(db, 5000);
  char* err = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "") << "\n" << sql;
  sqlite3_free(err);
  sqlite3_close(db);
}

// Whether a connection holds the file's write lock (a transaction is open).
bool WriteLocked(const std::string& file) {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  const bool locked = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_BUSY;
  if (!locked) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return locked;
}

// Makes every invoice line's insert take a while (a cross join of `tables`
// copies of an n-row table in a trigger), so that a batch can be caught
// inside its transaction.
void StallInvoiceLines(const std::string& file, int n, int tables) {
  std::string join = "stall_n t0";
  for (int i = 1; i < tables; ++i) join += ", stall_n t" + std::to_string(i);
  Raw(file, "Create Table stall_n(x int); "
            "With Recursive c(x) As (Select 1 Union All Select x + 1 From c Where x < " + std::to_string(n) +
            ") Insert Into stall_n Select x From c; "
            "Create Trigger stall After Insert On InvoiceItem Begin Select Count(*) From " + join + "; End;");
}

// Waits (tries times, pauseUs apart) for a transaction to hold the file's
// write lock; false if none did.
bool WaitForWriteLock(const std::string& file, int tries, int pauseUs) {
  for (int i = 0; i < tries; ++i) {
    ::usleep(pauseUs);
    if (WriteLocked(file)) return true;
  }
  return false;
}

// Nothing of an invoice is in the file: no head, line, customer or payment.
void ExpectNoInvoiceRows(IDbSession& embedded) {
  for (const char* table : {"InvoiceHead", "InvoiceItem", "Customer", "RecvAcct"})
    EXPECT_EQ(embedded.Query(std::string("Select Count(*) From ") + table).First().Rows.at(0).at(0).AsInteger(), 0)
        << table;
}

TEST_F(OdbcTest, ServerKilledInAnInvoiceBatchLeavesNoHalfInvoice) {
  TFixedClock clock{TDateTime::FromCivil(2026, 12, 9, 23, 0, 0), kFixtureUtcOffsetMinutes};
  TScopedClock useClock{clock};
  rapidjson::Document order;
  ParseShopJson(order, FixtureOrderJson());
  // Each invoice line takes minutes to insert: the batch stays inside its
  // transaction, after the head and before the commit, until the server dies.
  StallInvoiceLines(Pos.Path(), 400, 4);

  std::string invoiceNo, msg;
  bool modified = false, written = true;
  std::thread pass([&] { written = ProcessOrder(Pos.Db, order, invoiceNo, msg, modified); });
  const bool inBatch = WaitForWriteLock(Pos.Path(), 400, 50 * 1000);
  ::usleep(300 * 1000);  // into the first line's insert
  Pos.Server.Stop();     // the server process ends at once (no handler of its own)
  pass.join();
  ASSERT_TRUE(inBatch) << "the invoice batch never started";
  EXPECT_FALSE(written) << "a pass whose server died reported the invoice written";
  EXPECT_FALSE(msg.empty());

  ExpectNoInvoiceRows(*Embedded);
  EXPECT_EQ(Embedded->Query("Select StockQty1 From Product Where ProductCode=N'BEER'").First().Rows.at(0).at(0).AsFloat(),
            120);

  // A new server; the next pass writes the whole invoice, once.
  Raw(Pos.Path(), "Drop Trigger stall;");
  Pos.Server.PointAt(Pos.Config, Pos.Path());
  ASSERT_TRUE(Pos.Db.ConnectToServer(Pos.Config));
  EXPECT_TRUE(ProcessOrder(Pos.Db, order, invoiceNo, msg, modified)) << msg;
  EXPECT_EQ(Pos.Value("Select Count(*) From InvoiceHead").AsInteger(), 1);
  EXPECT_EQ(Pos.Value("Select Count(*) From InvoiceItem").AsInteger(), 2);
}

TEST_F(OdbcTest, ServiceKilledInAnInvoiceBatchLeavesNothingWritten) {
  TFixedClock clock{TDateTime::FromCivil(2026, 12, 9, 23, 0, 0), kFixtureUtcOffsetMinutes};
  TScopedClock useClock{clock};
  rapidjson::Document order;
  ParseShopJson(order, FixtureOrderJson());
  // Each invoice line takes a moment to insert (a few hundred million steps
  // at most), so the service can be killed while its batch runs.
  StallInvoiceLines(Pos.Path(), 300, 3);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TDatabaseModule db;
    std::string invoiceNo, msg;
    bool modified = false;
    if (db.ConnectToServer(Pos.Config)) ProcessOrder(db, order, invoiceNo, msg, modified);
    ::_exit(0);
  }
  const bool inBatch = WaitForWriteLock(Pos.Path(), 400, 20 * 1000);
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(inBatch) << "the invoice batch never started";
  ASSERT_TRUE(WIFSIGNALED(status)) << "the pass ended before it was killed";
  // The server finds the connection gone after the statement it is in, and
  // rolls back.
  for (int i = 0; i < 1500 && WriteLocked(Pos.Path()); ++i) ::usleep(20 * 1000);
  ASSERT_FALSE(WriteLocked(Pos.Path()));
  ExpectNoInvoiceRows(*Embedded);
}

}  // namespace
}  // namespace ooa::test
