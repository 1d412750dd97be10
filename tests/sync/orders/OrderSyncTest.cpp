// The order sync pass against the stand-in shop (real HTTP on loopback, OAuth
// signed) and a real embedded POS database: what it writes, what it logs, how
// it pages, and where it leaves the sync log.
#include <algorithm>
#include <csignal>
#include <cstdio>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <httplib.h>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "config/ProblemList.h"
#include "db/DatabaseModule.h"
#include "sync/orders/ForkedOrderPass.h"
#include "sync/orders/OrderFixture.h"
#include "support/PosFixture.h"
#include "sync/OrderSyncPass.h"
#include "shop/WooModule.h"
#include "support/FixedClock.h"
#include "support/PrinterStandin.h"
#include "support/ShopStandin.h"
#include "sync/OrderSync.h"

namespace ooa {
namespace {

using test::FixtureOrderJson;

// The shop's clock: every order the tests seed was last modified at this UTC
// time (13:31 local); the pass runs ten minutes later.
const char* const kShopNow = "2026-12-08T03:31:00";
const TDateTime kShopNowLocal = TDateTime::FromCivil(2026, 12, 8, 13, 31, 0);
const TDateTime kPassStartUtc = TDateTime::FromCivil(2026, 12, 8, 3, 41, 0);
const TDateTime kPassStartLocal = TDateTime::FromCivil(2026, 12, 8, 13, 41, 0);

// The stand-in's own administration routes (plain HTTP, no signing).
class TShop {
 public:
  const std::string& Key() const { return Options.Key; }
  const std::string& Secret() const { return Options.Secret; }
  std::string BaseUrl() const { return Process.BaseUrl(); }
  void AdminPost(const std::string& path, const std::string& body) {
    httplib::Client client(Process.Origin());
    auto answer = client.Post(path, body, "application/json");
    ASSERT_TRUE(answer) << path;
    ASSERT_LT(answer->status, 300) << path << ": " << answer->body;
  }
  std::string AdminGet(const std::string& path) {
    httplib::Client client(Process.Origin());
    auto answer = client.Get(path);
    return answer ? answer->body : std::string();
  }
  // The query names and values of every shop request to a path ending in
  // `suffix`, in the order they arrived.
  std::vector<std::vector<std::pair<std::string, std::string>>> QueriesTo(const std::string& suffix) {
    rapidjson::Document log;
    log.Parse(AdminGet("/standin/requests").c_str());
    std::vector<std::vector<std::pair<std::string, std::string>>> queries;
    if (!log.IsArray()) return queries;
    for (const auto& entry : log.GetArray()) {
      const std::string path = entry["path"].GetString();
      if (path.size() < suffix.size() || path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        continue;
      auto& query = queries.emplace_back();
      for (const auto& pair : entry["query"].GetArray()) query.emplace_back(pair[0].GetString(), pair[1].GetString());
    }
    return queries;
  }

 private:
  test::TShopStandin::TOptions Options;
  test::TShopStandin Process{Options};
};

// An order of the fixture's shape with another id and status, as the shop
// would list it (modification time from the shop's clock).
std::string ShopOrder(int id, const std::string& status) { return test::ShopOrderJson(id, status); }

class OrderSync : public ::testing::Test {
 protected:
  void SetUp() override {
    TConfig config = Pos.Config;
    config.Url = Shop.BaseUrl();
    config.Key = Shop.Key();
    config.Secret = Shop.Secret();
    config.Debug = true;
    config.PrinterName = "N/A";  // receipts are the receipt tests' business
    SetConfig(config);
    Woo.Init(config);
    ActivityLog().SetSink(&Log);
    Shop.AdminPost("/standin/clock", std::string("{\"now\": \"") + kShopNow + "\"}");
  }
  void TearDown() override { ActivityLog().SetSink(nullptr); }

  // Orders stamped with the shop's clock at kShopNow; the shop then answers
  // at the till's time, so the pass's sync time is the till's.
  void Seed(const std::vector<std::string>& orders) {
    std::string body = "[";
    for (size_t i = 0; i < orders.size(); ++i) body += (i ? "," : "") + orders[i];
    Shop.AdminPost("/standin/orders", body + "]");
    ShopAtTill();
  }
  void ShopAtTill() {
    const TCivilTime c = Clock.NowUtc().ToCivil();
    char now[32];
    std::snprintf(now, sizeof now, "%04d-%02d-%02dT%02d:%02d:%02d", c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second);
    Shop.AdminPost("/standin/clock", std::string("{\"now\": \"") + now + "\"}");
  }
  // The pass's own lines: the channel's request lines ("URI: ..." and the
  // resource) left out.
  std::vector<std::string> PassLines() {
    std::vector<std::string> lines;
    for (const std::string& line : Log.Lines()) {
      if (line.rfind("URI: ", 0) == 0 || line.rfind("orders", 0) == 0) continue;
      lines.push_back(line);
    }
    Log.Clear();
    return lines;
  }
  TDateTime StoredSyncTime() { return Pos.Db.GetLastSyncTime("orders"); }
  int64_t Count(const std::string& sql) { return Pos.Value(sql).AsInteger(); }

  test::TFixedClock Clock{kPassStartUtc, test::kFixtureUtcOffsetMinutes};
  test::TScopedClock UseClock{Clock};
  test::TPosFixture Pos;
  TShop Shop;
  TWooModule Woo{Pos.Db};
  TMemoryLogSink Log;
};

TEST_F(OrderSync, ImportsProcessingAndCompletedOrdersAndSkipsPendingOnes) {
  Seed({ShopOrder(5001, "processing"), ShopOrder(5002, "pending"), ShopOrder(5003, "completed")});
  SyncOrders(Woo);
  const std::vector<std::string> expected = {
      "Start Sync orders...",
      "Last Synced At: 1999-12-31 14:00:00",  // 2000-01-01 00:00 local, in UTC
      "Start Process Orders, Total Pending Orders: 3",
      "Order ID: 5001",
      " |- Status: processing",
      " |- Prcessing Order",
      " |- Order Received, InvoiceNo: W26000001",
      "Order ID: 5002",
      " |- Status: pending",
      " |- No further action.",
      "Order ID: 5003",
      " |- Status: completed",
      " |- Prcessing Order",
      " |- Order Received, InvoiceNo: W26000002",
      "Finish Process Orders",
  };
  EXPECT_EQ(PassLines(), expected);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'5003'"), 1);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead"), 2);
  EXPECT_EQ(StoredSyncTime(), kPassStartLocal.AddSeconds(-10));

  // The next pass sees the same orders and writes nothing again.
  SyncOrders(Woo);
  const std::vector<std::string> again = PassLines();
  EXPECT_EQ(std::count(again.begin(), again.end(), " |- Prcessing Order"), 0);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead"), 2);
  EXPECT_EQ(Count("Select Count(*) From InvoiceItem"), 4);
}

TEST_F(OrderSync, EmptyAnswerStoresTheStartMinusTenSeconds) {
  ShopAtTill();
  SyncOrders(Woo);
  const std::vector<std::string> expected = {"Start Sync orders...", "Last Synced At: 1999-12-31 14:00:00",
                                             "No Pending Orders"};
  EXPECT_EQ(PassLines(), expected);
  EXPECT_EQ(StoredSyncTime(), kPassStartLocal.AddSeconds(-10));
}

TEST_F(OrderSync, StoredLocalTimeAcrossDaylightSavingChanges) {
  struct TCase {
    const char* Stored;  // local, as the sync log keeps it
    const char* Sent;    // modified_after, UTC
  };
  const TCase cases[] = {
      {"01/15/2026 10:00:00", "2026-01-14 23:00:00"},  // summer time, UTC+11
      {"06/15/2026 10:00:00", "2026-06-15 00:00:00"},  // standard time, UTC+10
      {"04/05/2026 02:30:00", "2026-04-04 15:30:00"},  // repeated hour: the earlier instant
      {"10/04/2026 02:30:00", "2026-10-03 16:00:00"},  // skipped hour: where the gap begins
  };
  test::TFixedClock zoned(kPassStartUtc, "AEST-10AEDT,M10.1.0,M4.1.0/3");
  test::TScopedClock useZoned(zoned);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Stored);
    Pos.Exec(std::string("Delete From OnlineSyncLog; Insert OnlineSyncLog (Event, LastSyncAt) Values (N'orders', '") +
             c.Stored + "');");
    SyncOrders(Woo);
    const std::vector<std::string> lines = PassLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], std::string("Last Synced At: ") + c.Sent);
  }
}

TEST_F(OrderSync, ReadsEveryPageBeforeTheSyncTimeMoves) {
  std::vector<std::string> orders;
  for (int id = 7001; id <= 7250; ++id) orders.push_back(ShopOrder(id, "processing"));
  Seed(orders);
  SyncOrders(Woo);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead"), 250);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'7250'"), 1);
  const std::vector<std::string> lines = PassLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Start Process Orders, Total Pending Orders: 250"), lines.end());
  std::vector<std::string> pages;
  for (const auto& query : Shop.QueriesTo("/orders"))
    for (const auto& [name, value] : query)
      if (name == "page") pages.push_back(value);
  EXPECT_EQ(pages, (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(OrderSync, FailedBatchHoldsTheSyncTimeBackUntilTheOrderIsWritten) {
  Seed({ShopOrder(5001, "processing")});
  Pos.Exec("Insert Into InvoiceItem(InvoiceNo, ID, ProductCode) Values(N'W26000001', 2, N'OLD');");
  EXPECT_THROW(SyncOrders(Woo), TOrderPassIncomplete);  // after storing the time it held back
  const std::vector<std::string> lines = PassLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), " |- Receive Order  Failed"), lines.end());
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead"), 0);
  EXPECT_EQ(StoredSyncTime(), kShopNowLocal.AddSeconds(-10));

  Pos.Exec("Delete From InvoiceItem;");
  Clock.Advance(60);
  ShopAtTill();
  SyncOrders(Woo);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'5001'"), 1);
  EXPECT_EQ(StoredSyncTime(), kPassStartLocal.AddSeconds(60 - 10));
}

TEST_F(OrderSync, BadOrderIsLoggedAndComesBackWhenTheShopChangesIt) {
  std::string bad = ShopOrder(5001, "processing");
  const std::string lines = "\"line_items\": [";
  bad.replace(bad.find(lines), lines.size(), "\"line_items\": [], \"unused\": [");
  Seed({bad, ShopOrder(5002, "processing")});
  SyncOrders(Woo);
  const std::vector<std::string> log = PassLines();
  const std::vector<std::string> failure = {"Order ID: 5001", " |- Status: processing", " |- Prcessing Order",
                                            " |- Receive Order  Failed", " |- Order items data error."};
  EXPECT_NE(std::search(log.begin(), log.end(), failure.begin(), failure.end()), log.end());
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'5002'"), 1);
  EXPECT_EQ(StoredSyncTime(), kPassStartLocal.AddSeconds(-10));  // not held back

  // The shop owner fixes the order; its new modification time brings it back.
  Shop.AdminPost("/standin/clock", R"({"now": "2026-12-08T03:45:00"})");
  Shop.AdminPost("/standin/orders/5001",
                 R"({"line_items": [{"sku": "WINE-PK1", "quantity": 1, "subtotal": "20.00", "subtotal_tax": "2.00"}]})");
  Clock.SetNowUtc(TDateTime::FromCivil(2026, 12, 8, 3, 50, 0));
  SyncOrders(Woo);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'5001'"), 1);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead"), 2);
}

TEST_F(OrderSync, RefundRequestCarriesNoModifiedAfter) {
  Seed({ShopOrder(5001, "completed")});
  Shop.AdminPost("/standin/orders/5001/refunds", R"({"amount": "10.00", "reason": "broken"})");
  SyncOrders(Woo);
  const auto queries = Shop.QueriesTo("/orders/5001/refunds");
  ASSERT_EQ(queries.size(), 1u);
  std::vector<std::string> names;
  for (const auto& [name, value] : queries[0]) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"per_page", "orderby", "order"}));
  const std::vector<std::string> lines = PassLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), " |- Refunding Order, Total: 1"), lines.end());
}

// The shop filters an order's refunds by their own creation time when asked
// with modified_after: a refund made while its order could not be imported
// must still be booked once the order imports.
TEST_F(OrderSync, RefundMadeBeforeTheSyncTimeIsBooked) {
  std::string bad = ShopOrder(5001, "completed");
  const std::string lines = "\"line_items\": [";
  bad.replace(bad.find(lines), lines.size(), "\"line_items\": [], \"unused\": [");
  Seed({bad});
  Shop.AdminPost("/standin/clock", R"({"now": "2026-12-08T03:35:00"})");
  Shop.AdminPost("/standin/orders/5001/refunds",
                 R"({"amount": "22.00", "reason": "broken", "line_items": [{"sku": "WINE-PK1", "quantity": -1,
                     "subtotal": "-20.00", "subtotal_tax": "-2.00", "total": "-20.00", "total_tax": "-2.00"}],
                     "meta_data": [{"id": 71, "key": "_qev_loyalty_redemption_refund", "value": {"memberCode": "M1001",
                     "redeemPointsDollar": "0", "redeemPoints": "0", "dealCouponDiscount": "0",
                     "depositPayment": "0"}}]})");
  Shop.AdminPost("/standin/clock", R"({"now": "2026-12-08T03:41:00"})");  // the shop's clock agrees with the till's
  SyncOrders(Woo);  // the order fails for its lines; the sync time passes the refund
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead"), 0);
  EXPECT_EQ(StoredSyncTime(), kPassStartLocal.AddSeconds(-10));

  Shop.AdminPost("/standin/clock", R"({"now": "2026-12-08T03:45:00"})");
  Shop.AdminPost("/standin/orders/5001",
                 R"({"line_items": [{"sku": "WINE-PK1", "quantity": 1, "subtotal": "20.00", "subtotal_tax": "2.00"}]})");
  Clock.SetNowUtc(TDateTime::FromCivil(2026, 12, 8, 3, 50, 0));
  SyncOrders(Woo);
  const std::vector<std::string> log = PassLines();
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'5001' And KindFlag<>5"), 1);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where KindFlag=5 And ReferenceNo=N'W26000001'"), 1)
      << ::testing::PrintToString(log);
}

// A receipt the printer did not take is reported and listed; when the owner
// asks for it again, the next pass prints it once and it leaves the list.
TEST_F(OrderSync, ReceiptNotPrintedIsListedAndPrintedAgainOnRequest) {
  int closedPort;
  {
    test::TPrinterStandin gone;
    closedPort = gone.Port();
  }
  TConfig config = ConfigSnapshot();
  config.PrinterName = "socket://127.0.0.1:" + std::to_string(closedPort);
  SetConfig(config);
  Seed({ShopOrder(5001, "processing")});
  SyncOrders(Woo);
  std::vector<std::string> log = PassLines();
  const std::string failed = "Receipt of W26000001 not printed: Printer 127.0.0.1:" + std::to_string(closedPort) +
                             ": Connection refused";
  EXPECT_NE(std::find(log.begin(), log.end(), failed), log.end()) << ::testing::PrintToString(log);
  TProblemList list(ProblemListPath());
  ASSERT_EQ(list.Load().size(), 1u);
  EXPECT_EQ(list.Load()[0].Id, "receipt:W26000001");
  EXPECT_EQ(list.Load()[0].OrderId, "5001");

  // Asked for while the printer is back: printed once (as a listed receipt
  // and as the request are one), the request used up.
  test::TPrinterStandin printer;
  config.PrinterName = printer.Address();
  SetConfig(config);
  ASSERT_TRUE(list.RequestReprint("receipt:W26000001"));
  SyncOrders(Woo);
  log = PassLines();
  EXPECT_NE(std::find(log.begin(), log.end(), "Receipt of W26000001 printed again."), log.end())
      << ::testing::PrintToString(log);
  const std::vector<std::string> jobs = printer.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_NE(jobs[0].find("ONLINE ORDER #5001"), std::string::npos);
  EXPECT_TRUE(list.Load().empty());
  SyncOrders(Woo);
  EXPECT_EQ(printer.Jobs().size(), 1u);
}

// One order's bad data costs that order alone: its failure says why, the
// next order is imported, and the refused order is listed for the owner.
TEST_F(OrderSync, BadDataFailsOnlyItsOrderAndSaysWhy) {
  struct TCase {
    const char* Name;
    const char* From;  // text of the fixture order replaced
    const char* To;
    std::vector<std::string> Lines;  // after " |- Receive Order  Failed"
  };
  const TCase cases[] = {
      {"loyalty without depositPayment", R"("depositPayment": "20", )", "",
       {" |- Order data error.", " |- Order data cannot be read: Key \"depositPayment\" is missing."}},
      {"quantity of the wrong kind", R"("quantity": 2)", R"("quantity": [2])",
       {" |- Order items data error.", " |- \"quantity\" is not a single value."}},
      {"total not a number", R"("total": "50.00")", R"("total": "fifty")",
       {" |- Order data error.", " |- Order data cannot be read: 'fifty' of \"total\" is not a valid number."}},
      {"member code of 16 characters", R"("memberCode": "M1001")", R"("memberCode": "M123456789012345")",
       {" |- Customer data error.",
        " |- The member code \"M123456789012345\" has 16 characters; a POS customer code holds 15."}},
      {"city longer than its column", R"("city": "Hobart")", R"("city": "Hobart Hobart Hobart Hobart Hobart Hobart Hobart Hobart Hobart Hobart")",
       {" |- Customer data error.", " |- The order's billing city is longer than the POS keeps (60 characters)."}},
  };
  int id = 6000;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const int badId = ++id, goodId = ++id;
    std::string bad = ShopOrder(badId, "processing");
    const std::string from = c.From;
    ASSERT_NE(bad.find(from), std::string::npos);
    bad.replace(bad.find(from), from.size(), c.To);
    Shop.AdminPost("/standin/reset", "");
    Shop.AdminPost("/standin/clock", std::string("{\"now\": \"") + kShopNow + "\"}");
    Pos.Exec("Delete From OnlineSyncLog;");
    Seed({bad, ShopOrder(goodId, "processing")});
    SyncOrders(Woo);
    const std::vector<std::string> log = PassLines();
    std::vector<std::string> failure = {" |- Receive Order  Failed"};
    failure.insert(failure.end(), c.Lines.begin(), c.Lines.end());
    EXPECT_NE(std::search(log.begin(), log.end(), failure.begin(), failure.end()), log.end())
        << ::testing::PrintToString(log);
    EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'" + std::to_string(goodId) + "'"), 1);
    EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'" + std::to_string(badId) + "'"), 0);
  }
  // Every refused order with an id is listed, with its reason.
  const std::vector<TProblem> listed = TProblemList(ProblemListPath()).Load();
  ASSERT_EQ(listed.size(), 5u);
  EXPECT_EQ(listed[0].Id, "order:6001");
  EXPECT_EQ(listed[0].Reason, "Order data error. - Order data cannot be read: Key \"depositPayment\" is missing.");
  EXPECT_EQ(listed[3].Reason,
            "Customer data error. - The member code \"M123456789012345\" has 16 characters; a POS customer code "
            "holds 15.");
}

// A child killed midway needs fork(): Linux only.
#ifndef _WIN32
// The problems list is written when an order is refused, not when the pass
// ends: a pass killed later keeps the entry, and the next pass fetches it.
TEST_F(OrderSync, ProblemsListSurvivesAKilledPass) {
  std::string bad = ShopOrder(5001, "processing");
  const std::string deposit = R"("depositPayment": "20", )";
  bad.erase(bad.find(deposit), deposit.size());
  Seed({bad, ShopOrder(5002, "processing")});
  Shop.AdminPost("/standin/orders/5002/refunds", R"({"amount": "1.00"})");
  Shop.AdminPost("/standin/faults", R"({"route": "orders/5002/refunds", "kind": "delay", "delay_ms": 20000})");

  // A pass of its own, killed while it waits for the refunds of the order
  // after the refused one.
  const pid_t child = test::StartForkedOrderPass(Pos.Config);
  ASSERT_GE(child, 0);
  bool waiting = false;
  for (int i = 0; i < 200 && !waiting; ++i) {
    ::usleep(50 * 1000);
    waiting = !Shop.QueriesTo("/orders/5002/refunds").empty();
  }
  const int status = test::KillForkedPass(child);
  ASSERT_TRUE(waiting) << "the pass never reached the refunds of order 5002";
  ASSERT_TRUE(WIFSIGNALED(status));

  const std::vector<TProblem> listed = TProblemList(ProblemListPath()).Load();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].Id, "order:5001");
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'5002'"), 1);

  // The next pass fetches the listed order by its id.
  Shop.AdminPost("/standin/faults/clear", "");
  SyncOrders(Woo);
  EXPECT_EQ(Shop.QueriesTo("/orders/5001").size(), 1u);
}
#endif  // _WIN32

}  // namespace
}  // namespace ooa
