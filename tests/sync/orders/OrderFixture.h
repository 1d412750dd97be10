// The fixture order of the order import tests: a member order with two lines
// sold at price levels (BEER-PK2, WINE-PK1), freight, a coupon, redeemed
// points, a deposit payment and a shop payment. Created 2026-12-08 03:30 UTC,
// which is 13:30 local in the tests' zone (UTC+10).
#pragma once

#include <string>

#include <rapidjson/document.h>

namespace ooa::test {

inline constexpr int kFixtureUtcOffsetMinutes = 600;

inline std::string FixtureOrderJson(const std::string& id = "5001") {
  return R"({
  "id": )" + id + R"(, "status": "processing", "customer_id": 57,
  "date_created_gmt": "2026-12-08T03:30:00", "date_modified_gmt": "2026-12-08T03:31:00",
  "date_paid_gmt": "2026-12-08T03:30:30",
  "payment_method": "stripe", "shipping_total": "11.00", "total": "50.00",
  "billing": {"first_name": "Ann", "last_name": "O'Neil", "phone": "0411", "email": "ann@x.au",
              "address_1": "1 Main St", "address_2": "Unit 2", "city": "Hobart", "postcode": "7000",
              "state": "TAS", "country": "AU"},
  "shipping": {"first_name": "Ann", "last_name": "O'Neil", "phone": "0422",
               "address_1": "1 Main St", "address_2": "Unit 2", "city": "Hobart", "postcode": "7000",
               "state": "TAS", "country": "AU"},
  "shipping_lines": [{"id": 1, "method_id": "flat_rate", "total": "11.00"}],
  "line_items": [
    {"id": 11, "sku": "BEER-PK2", "quantity": 2, "subtotal": "40.00", "subtotal_tax": "4.00"},
    {"id": 12, "sku": "WINE-PK1", "quantity": 1, "subtotal": "20.00", "subtotal_tax": "2.00"}],
  "meta_data": [
    {"id": 90, "key": "_other", "value": "x"},
    {"id": 91, "key": "_qev_loyalty_redemption", "value": {
      "memberCode": "M1001", "redeemPointsDollar": "2", "pointsBalance": "350", "redeemPoints": "200",
      "redeemBasePoints": "100", "dealCouponDiscount": "5", "couponId": "C-77",
      "depositPayment": "20", "depositBalance": "30"}}],
  "refunds": []
})";
}

// Parsed the way the shop channel parses: numbers kept as their text.
inline void ParseShopJson(rapidjson::Document& doc, const std::string& text) {
  doc.Parse<rapidjson::kParseNumbersAsStringsFlag>(text.c_str());
}

// The loyalty entry's value object of a parsed fixture order.
inline rapidjson::Value& FixtureLoyalty(rapidjson::Document& order) { return order["meta_data"][1]["value"]; }

// The fixture order under another id and status, as the shop would list it:
// without its modification time, so the stand-in stamps it with its clock.
inline std::string ShopOrderJson(int id, const std::string& status = "processing") {
  std::string text = FixtureOrderJson(std::to_string(id));
  const std::string from = "\"status\": \"processing\"";
  text.replace(text.find(from), from.size(), "\"status\": \"" + status + "\"");
  const std::string modified = "\"date_modified_gmt\": \"2026-12-08T03:31:00\",";
  text.erase(text.find(modified), modified.size());
  return text;
}

}  // namespace ooa::test
