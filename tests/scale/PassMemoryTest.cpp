// A pass gives back the memory it used to be faster (the engine's compiled
// batches, prepared statements and pages) when it ends, also when it fails,
// and the next pass works as before.
#include <gtest/gtest.h>

#include "scale/HistoryWorld.h"
#include "sync/Passes.h"

namespace ooa::test {
namespace {

class PassMemory : public THistoryWorld {};

TEST_F(PassMemory, EachPassGivesItBackWhenItEnds) {
  RunCatalogPass(Woo);
  EXPECT_EQ(Recorder.Releases(), 1u);
  AdminPost("/standin/orders", R"([{"id": 7001, "line_items": [{"sku": "SHZ750", "quantity": 1,
      "subtotal": "20.00", "subtotal_tax": "2.00"}], "total": "22.00", "billing": {"first_name": "Ann"},
      "shipping_lines": [{"method_id": "local_pickup", "total": "0.00"}],
      "meta_data": [{"key": "_qev_loyalty_redemption", "value": {"memberCode": "", "redeemPointsDollar": "0",
      "pointsBalance": "0", "redeemPoints": "0", "redeemBasePoints": "0", "dealCouponDiscount": "0",
      "couponId": "", "depositPayment": "0", "depositBalance": "0"}}]}])");
  RunOrderPass(Woo);
  EXPECT_EQ(Recorder.Releases(), 2u);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId = N'7001'"), 1);

  // A pass that fails: the shop cannot be reached.
  TConfig unreachable = Config;
  unreachable.Url = "http://127.0.0.1:1/wp-json/wc/v3";
  SetConfig(unreachable);
  Woo.Init(unreachable);
  EXPECT_ANY_THROW(RunOrderPass(Woo));
  EXPECT_EQ(Recorder.Releases(), 3u);
}

}  // namespace
}  // namespace ooa::test
