// Cancellations and refunds through the order pass, against the stand-in shop
// (real HTTP on loopback, OAuth signed) and a real embedded POS database: the
// credit notes written, the pass's lines, and where the sync log is left.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "config/ProblemList.h"
#include "sync/credits/CreditFixture.h"
#include "sync/orders/OrderFixture.h"
#include "sync/orders/OrderPassFixture.h"
#include "sync/OrderSyncPass.h"
#include "shop/WooModule.h"
#include "support/FixedClock.h"
#include "support/PrinterStandin.h"
#include "sync/OrderSync.h"

namespace ooa::test {
namespace {

// The loyalty entry the shop adds to a refund.
const char* const kRefundLoyalty =
    R"([{"key": "_qev_loyalty_redemption_refund", "value": {"memberCode": "M1001", "redeemPointsDollar": "0",
       "redeemPoints": "0", "dealCouponDiscount": "0", "depositPayment": "0"}}])";

// The POS database of the pass: no invoice seeded.
struct TCreditPassPos : TCreditFixture {
  TCreditPassPos() : TCreditFixture(false) {}
};

// Fixture order 5001 (2 BEER-PK2, 1 WINE-PK1, paid 50 by stripe and 20 from the
// deposit) is imported by a first pass at 13:41 local; the shop's clock and
// the pass's clock then move on together, each step a few seconds apart.

class CreditSync : public TOrderPassFixtureOn<TCreditPassPos> {
 protected:
  void SetUp() override {
    TOrderPassFixtureOn::SetUp();
    if (HasFatalFailure()) return;
    std::string order = FixtureOrderJson("5001");
    const std::string modified = "\"date_modified_gmt\": \"2026-12-08T03:31:00\",";
    order.erase(order.find(modified), modified.size());
    AdminPost("/standin/orders", order);
    Pass();
    ASSERT_EQ(Pos.Value("Select InvoiceNo From InvoiceHead Where OnlineOrderId=N'5001'").AsString(), "W26000001");
  }


  void Refund(const std::string& id, const std::string& lineId, const std::string& amount) {
    AdminPost("/standin/orders/5001/refunds", R"({"id": )" + id + R"(, "amount": ")" + amount +
                                                  R"(", "line_items": [{"line_item_id": )" + lineId +
                                                  R"(, "quantity": 1}], "meta_data": )" + kRefundLoyalty + "}");
  }
  // One pass at the given UTC time; returns its lines from "Order ID: " on,
  // without the channel's request lines and the closing line.
  std::vector<std::string> Pass(TDateTime utc = TDateTime::FromCivil(2026, 12, 8, 3, 41, 0)) {
    Clock.SetNowUtc(utc);
    // The shop answers at the till's time (its orders keep their stamps).
    const TCivilTime c = utc.ToCivil();
    char now[32];
    std::snprintf(now, sizeof now, "%04d-%02d-%02dT%02d:%02d:%02d", c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second);
    ShopAt(now);
    Log.Clear();
    PassIncomplete.clear();
    try {
      SyncOrders(Woo);
    } catch (const TOrderPassIncomplete& e) {
      PassIncomplete = e.what();  // documents the database did not write
    }
    std::vector<std::string> lines;
    bool inOrders = false;
    for (const std::string& line : Log.Lines()) {
      if (line.rfind("Order ID: ", 0) == 0) inOrders = true;
      if (!inOrders || line.rfind("URI: ", 0) == 0 || line.rfind("orders", 0) == 0 ||
          line == "Finish Process Orders")
        continue;
      lines.push_back(line);
    }
    return lines;
  }
  std::string PassIncomplete;  // why the last Pass() failed, for documents it left unwritten
  static TDateTime At(int minute, int second) { return TDateTime::FromCivil(2026, 12, 8, 3, minute, second); }
  TDateTime StoredSyncTime() { return Pos.Db.GetLastSyncTime("orders"); }
};

TEST_F(CreditSync, RefundsInTwoStepsBecomeOneCreditNoteEach) {
  ShopAt("2026-12-08T03:45:00");
  Refund("9001", "11", "22.00");  // one BEER-PK2
  const std::vector<std::string> second = {
      "Order ID: 5001",
      " |- Status: processing",
      " |- Refunding Order, Total: 1",
      "  |- Refunding: 9001",
      " |- Order Refunded, InvoiceNo: W26000001, CreditNo: CN2600001",
  };
  EXPECT_EQ(Pass(At(45, 5)), second);

  // The next pass still sees the first refund (within its 10 s overlap); the
  // pass asks for refunds by ascending id.
  ShopAt("2026-12-08T03:46:00");
  Refund("9002", "12", "22.00");  // the WINE
  const std::vector<std::string> third = {
      "Order ID: 5001",
      " |- Status: processing",
      " |- Refunding Order, Total: 2",
      "  |- Already Refund: 9001, CreditNo: CN2600001",
      "  |- Refunding: 9002",
      " |- Order Refunded, InvoiceNo: W26000001, CreditNo: CN2600002",
  };
  EXPECT_EQ(Pass(At(46, 5)), third);
  EXPECT_EQ(StoredSyncTime(), Clock.NowLocal().AddSeconds(-10));

  // BEER-PK2 takes 6 stock units a piece: 120 - 12 on import, + 6 back.
  EXPECT_EQ(Pos.Lines("CN2600001"), (std::vector<std::string>{"BEER -1 1 0 5"}));
  EXPECT_EQ(Pos.Lines("CN2600002"), (std::vector<std::string>{"WINE -1 1 0 5"}));
  EXPECT_DOUBLE_EQ(Pos.Value("Select StockQty1 From Product Where ProductCode=N'BEER'").AsFloat(), 114);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'9001'"), 1);
  const std::vector<std::string> payments = {
      "1 50 stripe Online Payment 0",         "2 20 Deposit Online Payment 1",
      "3 22 CREDIT NOTES CN2600001 0",        "4 -22 Online SALE REFUND: CN2600001 0",
      "5 22 CREDIT NOTES CN2600002 0",        "6 -22 Online SALE REFUND: CN2600002 0",
  };
  EXPECT_EQ(Pos.PaymentRows("W26000001"), payments);
}

TEST_F(CreditSync, CancelledOrderIsCreditedOnceOverThreePasses) {
  ShopAt("2026-12-08T03:45:00");
  AdminPost("/standin/orders/5001/status", R"({"status": "cancelled"})");
  const std::vector<std::string> cancelled = {
      "Order ID: 5001",
      " |- Status: cancelled",
      " |- Cancelling Order",
      " |- Order W26000001 Cancelled, CreditNo: CN2600001",
  };
  EXPECT_EQ(Pass(At(45, 5)), cancelled);
  const std::string afterCancel = Pos.State();

  // Fetched again within the overlap, and again after the shop touched it.
  const std::vector<std::string> nothing = {"Order ID: 5001", " |- Status: cancelled", " |- No further action"};
  EXPECT_EQ(Pass(At(45, 8)), nothing);
  ShopAt("2026-12-08T03:50:00");
  AdminPost("/standin/orders/5001", R"({"customer_note": "sorry"})");
  EXPECT_EQ(Pass(At(50, 5)), nothing);
  EXPECT_EQ(StoredSyncTime(), Clock.NowLocal().AddSeconds(-10));

  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where KindFlag=5"), 1);
  EXPECT_EQ(Pos.State(), afterCancel);
  EXPECT_EQ(Pos.Lines("CN2600001"), (std::vector<std::string>{"BEER -2 1 1 5", "WINE -1 2 2 5"}));
  EXPECT_DOUBLE_EQ(Pos.Value("Select StockQty1 From Product Where ProductCode=N'BEER'").AsFloat(), 120);
  EXPECT_DOUBLE_EQ(Pos.Value("Select PaidAmount From InvoiceHead Where InvoiceNo=N'W26000001'").AsFloat(), 70);
}

TEST_F(CreditSync, RefundOfACancelledInvoiceIsDoneAndDoesNotHoldTheSyncTimeBack) {
  ShopAt("2026-12-08T03:45:00");
  AdminPost("/standin/orders/5001/status", R"({"status": "cancelled"})");
  Pass(At(45, 5));
  // The shop owner then pays the whole order back: the order becomes "refunded".
  ShopAt("2026-12-08T03:46:00");
  AdminPost("/standin/orders/5001/refunds", R"({"id": 9001, "amount": "50.00", "line_items": [{"line_item_id": 11}],
      "meta_data": )" + std::string(kRefundLoyalty) + "}");
  const std::vector<std::string> refunded = {
      "Order ID: 5001",
      " |- Status: refunded",
      " |- Refunding Order, Total: 1",
      "  |- Refunding: 9001",
      "  |- Refund 9001 needs no credit note: This invoice credited already.",
  };
  EXPECT_EQ(Pass(At(46, 5)), refunded);
  EXPECT_EQ(StoredSyncTime(), Clock.NowLocal().AddSeconds(-10));
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where KindFlag=5"), 1);
}

TEST_F(CreditSync, CancellationThatDidNotCommitIsTriedAgainByTheNextPass) {
  ShopAt("2026-12-08T03:45:00");
  AdminPost("/standin/orders/5001/status", R"({"status": "cancelled"})");
  Pos.Exec("Insert Into InvoiceItem(InvoiceNo, ID, ProductCode) Values(N'CN2600001', 2, N'OLD');");
  const std::vector<std::string> lines = Pass(At(45, 5));
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[3], " |- Cancel Order W26000001 Failed");
  EXPECT_EQ(lines[4].rfind(" |- The credit note was not written", 0), 0u) << lines[4];
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where KindFlag=5"), 0);
  EXPECT_EQ(StoredSyncTime(), TDateTime::FromCivil(2026, 12, 8, 13, 44, 50));  // the order's change, less 10 s
  EXPECT_EQ(PassIncomplete.rfind("1 document was not written (the next pass tries again); the first: cancellation of "
                            "order 5001: The credit note was not written",
                            0),
            0u)
      << PassIncomplete;

  Pos.Exec("Delete From InvoiceItem Where InvoiceNo=N'CN2600001';");
  const std::vector<std::string> again = Pass(At(47, 0));
  EXPECT_EQ(PassIncomplete, "");
  ASSERT_GE(again.size(), 4u);
  EXPECT_EQ(again[3], " |- Order W26000001 Cancelled, CreditNo: CN2600001");
}

TEST_F(CreditSync, RefundWithBadDataIsLoggedWithoutHoldingTheSyncTimeBack) {
  ShopAt("2026-12-08T03:45:00");
  AdminPost("/standin/orders/5001/refunds", R"({"id": 9001, "amount": "5.00"})");  // no lines, no loyalty entry
  const std::vector<std::string> expected = {
      "Order ID: 5001",
      " |- Status: processing",
      " |- Refunding Order, Total: 1",
      "  |- Refunding: 9001",
      " |- Receive Order W26000001 Failed",
      "  |- Order data error.",
      "  |- The refund has no \"_qev_loyalty_redemption_refund\" entry.",
  };
  EXPECT_EQ(Pass(At(45, 5)), expected);
  EXPECT_EQ(StoredSyncTime(), Clock.NowLocal().AddSeconds(-10));
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where KindFlag=5"), 0);
}

// A refund refused for what the POS holds is fetched again by its order's id
// on every pass; once the cause is gone on the POS side (here a refund credit
// note booked in error for the same goods, which the owner deletes) it is
// booked, with no change to the order in the shop.
TEST_F(CreditSync, RefusedRefundIsBookedByALaterPassOnceItsCauseIsGone) {
  Pos.Exec("Insert Into InvoiceHead(InvoiceNo, ReferenceNo, KindFlag, InvoiceDate, OnlineOrderId) "
           "Values(N'CN2699999', N'W26000001', 5, '12/08/2026', N'8999');"
           "Insert Into InvoiceItem(InvoiceNo, ID, ProductCode, Qty, PriceKind, DeductStockQty) "
           "Values(N'CN2699999', 1, N'BEER', -2, 1, 6);");
  ShopAt("2026-12-08T03:45:00");
  Refund("9001", "11", "22.00");  // one BEER-PK2: the note in error took both
  const std::vector<std::string> refused = Pass(At(45, 5));
  EXPECT_NE(std::find(refused.begin(), refused.end(), "  |- Order items data error."), refused.end())
      << ::testing::PrintToString(refused);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'9001'"), 0);
  const std::vector<TProblem> listed = TProblemList(ProblemListPath()).Load();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].Id, "refund:5001/9001");

  Pos.Exec("Delete From InvoiceItem Where InvoiceNo=N'CN2699999'; Delete From InvoiceHead Where InvoiceNo=N'CN2699999';");
  Pass(At(50, 0));  // the order is not among the modified ones any more
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'9001'"), 1);
  EXPECT_TRUE(TProblemList(ProblemListPath()).Load().empty());
  Pass(At(51, 0));
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'9001'"), 1);
}

TEST_F(CreditSync, EveryCreditNotePrintsTheInvoicesReceipt) {
  TPrinterStandin printer;
  TConfig config = ConfigSnapshot();
  config.PrinterName = printer.Address();
  SetConfig(config);

  ShopAt("2026-12-08T03:45:00");
  Refund("9001", "11", "22.00");
  Pass(At(45, 5));
  ShopAt("2026-12-08T03:46:00");
  AdminPost("/standin/orders/5001/status", R"({"status": "cancelled"})");
  Pass(At(46, 5));
  Pass(At(46, 8));  // nothing left to do: nothing printed
  const std::vector<std::string> jobs = printer.WaitForJobs(2);
  ASSERT_EQ(jobs.size(), 2u);
  // The invoice's receipt, with the credit notes written so far noted on it
  // (the note is longer than a receipt line: it breaks before the number).
  for (const std::string& job : jobs) EXPECT_NE(job.find("ONLINE ORDER #5001"), std::string::npos) << job;
  EXPECT_NE(jobs[0].find("This Invoice has been credited:\r\nCN2600001\r\n"), std::string::npos) << jobs[0];
  EXPECT_EQ(jobs[0].find("CN2600002"), std::string::npos) << jobs[0];
  EXPECT_NE(jobs[1].find("This Invoice has been credited:\r\nCN2600002\r\n"), std::string::npos) << jobs[1];
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where KindFlag=5"), 2);
}

}  // namespace
}  // namespace ooa::test
