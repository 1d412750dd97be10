// Shop refunds of the credit fixture's invoice W2600001, shaped as the shop
// sends them: negative line quantities and money, a positive "amount", the
// loyalty redemption under "_qev_loyalty_redemption_refund".
#pragma once

#include <string>

namespace ooa::test {

struct TRefundSeed {
  std::string Id = "9001";
  std::string CreatedGmt = "2026-12-09T01:00:00";  // 11:00 local at UTC+10
  std::string Amount = "10.00";
  // The "line_items" array's elements.
  std::string Lines = R"({"id": 1, "sku": "BEER", "quantity": -1, "subtotal": "-9.09", "subtotal_tax": "-0.91"})";
  std::string RedeemPoints = "0", RedeemPointsDollar = "0", Coupon = "0", Deposit = "0";
  bool WithLoyalty = true;
};

inline std::string RefundJson(const TRefundSeed& r) {
  std::string meta = R"([{"id": 70, "key": "_other", "value": "x"})";
  if (r.WithLoyalty)
    meta += R"(, {"id": 71, "key": "_qev_loyalty_redemption_refund", "value": {"memberCode": "C42", )"
            R"("redeemPointsDollar": ")" + r.RedeemPointsDollar + R"(", "redeemPoints": ")" + r.RedeemPoints +
            R"(", "dealCouponDiscount": ")" + r.Coupon + R"(", "depositPayment": ")" + r.Deposit + R"("}})";
  return R"({"id": )" + r.Id + R"(, "date_created_gmt": ")" + r.CreatedGmt + R"(", "amount": ")" + r.Amount +
         R"(", "reason": "", "line_items": [)" + r.Lines + R"(], "meta_data": )" + meta + "]}";
}

}  // namespace ooa::test
