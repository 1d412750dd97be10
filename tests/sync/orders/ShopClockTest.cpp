// The shop stamps orders with its own clock. With that clock behind the
// till's, a sync time taken from the till passes over the orders placed
// between two passes; the pass takes it from the shop's Date header instead,
// never later than the till's clock, and says when the clocks differ.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "sync/orders/OrderPassFixture.h"
#include "sync/ShopClock.h"

namespace ooa::test {
namespace {

using ShopClock = TOrderPassFixture;

TEST_F(ShopClock, AnOrderPlacedBetweenPassesIsFetchedWhenTheShopsClockIsBehind) {
  // The till's clock says 03:41:00 UTC; the shop's is a minute behind.
  AdminPost("/standin/clock", R"({"now": "2026-12-08T03:40:00"})");
  EXPECT_EQ(PassError(), "");
  EXPECT_EQ(Pos.Db.GetLastSyncTime("orders"), TDateTime::FromCivil(2026, 12, 8, 13, 39, 50));  // local, UTC+10

  AdminPost("/standin/clock", R"({"now": "2026-12-08T03:40:30"})");
  Seed({ShopOrder(6001)});  // placed after the first pass, by the shop's clock
  Clock.Advance(30);
  EXPECT_EQ(PassError(), "");
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'6001'"), 1);

  const std::vector<std::string> lines = Log.Lines();
  const std::string skew = "The shop's clock is 60 s behind the till's; the order sync time follows the shop's.";
  EXPECT_EQ(std::count(lines.begin(), lines.end(), skew), 1) << ::testing::PrintToString(lines);
}

TEST_F(ShopClock, TheSyncTimeIsNeverLaterThanTheTillsClock) {
  struct TCase {
    const char* Header;
    TDateTime Expected;  // what SyncTimeFromShopClock gives for a till at 13:41 local
  };
  const TDateTime till = TDateTime::FromCivil(2026, 12, 8, 13, 41, 0);
  const TCase cases[] = {
      {"Tue, 08 Dec 2026 03:40:00 GMT", TDateTime::FromCivil(2026, 12, 8, 13, 40, 0)},
      {"Tue, 08 Dec 2026 03:45:00 GMT", till},  // the shop's clock is ahead
      {"", till},
      {"yesterday", till},
  };
  for (const TCase& c : cases) EXPECT_EQ(SyncTimeFromShopClock(till, c.Header, 10), c.Expected) << c.Header;
}

}  // namespace
}  // namespace ooa::test
