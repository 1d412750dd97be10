// The order pass against answers that are not what it asked for: nested
// deeper than any order, not JSON at all, a refusal. Each ends the pass as a
// failure that says why, and never as a pass that quietly did nothing.
#include <string>

#include <gtest/gtest.h>

#include "sync/orders/OrderPassFixture.h"

namespace ooa::test {
namespace {

using OrderPassAnswers = TOrderPassFixture;

std::string Nested(size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

TEST_F(OrderPassAnswers, AnOrderListThatIsNotAnArrayOfOrdersFailsThePassAndSaysWhy) {
  struct TCase {
    const char* Name;
    int Status;
    std::string Body;
    std::string Error;
  };
  const std::string unreadable = "The shop's order list cannot be read: it is ";
  const TCase cases[] = {
      {"nested 75,000 levels", 200, Nested(75000), unreadable + "nested deeper than 512 levels."},
      {"deep inside an order", 200, "[{\"id\": 5001, \"meta_data\": " + Nested(600) + "}]",
       unreadable + "nested deeper than 512 levels."},
      {"truncated", 200, "[{\"id\": 5001, \"status\": \"proc", unreadable + "not valid JSON: "},
      {"bare NaN", 200, "NaN", unreadable + "not valid JSON: "},
      {"lone surrogate", 200, "[{\"id\": \"\\ud800\"}]", unreadable + "not valid JSON: "},
      {"raw control byte", 200, "[{\"id\": \"a\x01z\"}]", unreadable + "not valid JSON: "},
      {"blank", 200, " ", unreadable + "not valid JSON: The document is empty at byte 1."},
      {"401", 401, R"({"code": "woocommerce_rest_authentication_error", "message": "Consumer key is invalid."})",
       "The shop refused the order list: 401 Unauthorized: Consumer key is invalid."},
      {"404", 404, R"({"code": "rest_no_route", "message": "No route was found."})",
       "The shop refused the order list: 404 Not Found: No route was found."},
      {"429", 429, "Slow down", "The shop refused the order list: 429 Too Many Requests: Slow down"},
  };
  Seed({ShopOrder(5001)});
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Fault("^orders$", c.Status, c.Body);
    const std::string error = PassError();
    EXPECT_EQ(error.substr(0, c.Error.size()), c.Error) << error;
    EXPECT_FALSE(SyncLogWritten());
  }
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead"), 0);
  // The shop answers again: the order comes.
  EXPECT_EQ(PassError(), "");
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'5001'"), 1);
}

// An order whose id is no single value is that order's problem: the list
// behind it is still read, and the good order in it is written.
TEST_F(OrderPassAnswers, AListLedByAnOrderWithAnUnreadableIdStillBringsTheRest) {
  struct TCase {
    const char* BadId;
    const char* GoodOrder;  // a new one per case: the count below is of this case's order alone
  };
  for (const TCase& c : {TCase{"[5000]", "5001"}, TCase{"{\"n\": 5000}", "5002"}}) {
    SCOPED_TRACE(c.BadId);
    Fault("^orders$", 200,
          std::string("[{\"id\": ") + c.BadId + ", \"status\": \"processing\"}, " + FixtureOrderJson(c.GoodOrder) +
              "]");
    const std::string error = PassError();
    EXPECT_EQ(Count(std::string("Select Count(*) From InvoiceHead Where OnlineOrderId=N'") + c.GoodOrder + "'"), 1)
        << error;
  }
}

// A refund list the pass cannot read costs that order's refunds: the invoice
// is written, the sync time stays at the order, and the pass fails saying why.
TEST_F(OrderPassAnswers, AnUnreadableRefundListHoldsItsOrderBackAndFailsThePass) {
  Seed({ShopOrder(5001, "completed")});
  AdminPost("/standin/orders/5001/refunds",
            R"({"amount": "22.00", "reason": "broken", "line_items": [{"line_item_id": 12, "quantity": 1}],
                "meta_data": [{"key": "_qev_loyalty_redemption_refund", "value": {"memberCode": "M1001",
                "redeemPointsDollar": "0", "redeemPoints": "0", "dealCouponDiscount": "0", "depositPayment": "0"}}]})");
  Fault("^orders/5001/refunds$", 200, Nested(75000));
  EXPECT_EQ(PassError(),
            "1 document was not written (the next pass tries again); the first: The shop's refund list of order 5001 "
            "cannot be read: it is nested deeper than 512 levels.");
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where KindFlag<>5"), 1);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where KindFlag=5"), 0);
  // Held back to the refund's modification of the order (13:31 local), less 10 s.
  EXPECT_EQ(Pos.Db.GetLastSyncTime("orders"), TDateTime::FromCivil(2026, 12, 8, 13, 30, 50));

  EXPECT_EQ(PassError(), "");
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where KindFlag=5"), 1) << ::testing::PrintToString(Log.Lines());
}

// The database refusing every write (a full disk, a read-only file) is a
// failed pass, though it reached its end and stored the time it held back.
TEST_F(OrderPassAnswers, OrdersTheDatabaseDidNotWriteFailThePass) {
  Seed({ShopOrder(5001)});
  Pos.Exec("Insert Into InvoiceItem(InvoiceNo, ID, ProductCode) Values(N'W26000001', 2, N'OLD');");
  const std::string error = PassError();
  const std::string expected = "1 document was not written (the next pass tries again); the first: order 5001: ";
  EXPECT_EQ(error.substr(0, expected.size()), expected) << error;
  EXPECT_EQ(Pos.Db.GetLastSyncTime("orders"), TDateTime::FromCivil(2026, 12, 8, 13, 30, 50));
}

}  // namespace
}  // namespace ooa::test
