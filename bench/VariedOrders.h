// Shop orders as varied as a real shop's, for the benchmarks: 1 to 20 lines
// (evenly spread) of products at their first, second or third price level,
// prices that come out whole ("11") or not ("5.5", "3.003"), quantities 1 to
// 3 and now and then 12, costs whole or not; members and guests, delivery
// and pickup, with and without a deposit, a coupon, a phone number or a
// second address line. The products come with them: VariedProductsBatch
// inserts the catalogue the orders name into the POS tables of warehouse
// "1". Generated from a seed: the same seed gives the same orders.
// Header-only; used from a benchmark's main thread.
#pragma once

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

namespace ooa::bench {

constexpr int kVariedProducts = 300;

// Product codes V0001 ... ; every third product has three price levels
// (SKU suffixes -PK2 and -PK3 taking 6 and 24 stock units).
inline std::string VariedProductCode(int n) {
  char code[16];
  std::snprintf(code, sizeof code, "V%04d", n);
  return code;
}

inline std::string VariedProductsBatch() {
  std::string sql;
  for (int p = 1; p <= kVariedProducts; ++p) {
    const std::string code = VariedProductCode(p);
    // Average cost 2 (whole) for even products, 2.25 for odd ones.
    const char* value = p % 2 ? "2250000" : "2000000";
    sql += "Insert Into Product(ProductCode, Description, GSTRate, MeasureQty, DeductStockQty, DeductStockQty1, "
           "DeductStockQty2, MultiplePrice, StockQty1, StockValue1, SalesPrice1, SalesPrice2, SalesPrice3) Values(N'" +
           code + "', N'Product " + code + "', 10, 1, 1, 6, 24, " + (p % 3 == 0 ? "1" : "0") + ", 1000000, " + value +
           ", 5, 27, 100);Insert Into ProductExtend(ProductCode) Values(N'" + code + "');";
  }
  return sql;
}

// One order with shop id `id`; rng drives every choice.
inline std::string VariedOrder(int64_t id, std::mt19937& rng) {
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto money = [](double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.2f", v);
    return std::string(b);
  };
  // Prices before GST: 10.00 -> 11 with GST, 5.00 -> 5.5, 2.73 -> 3.003, ...
  static const double kPrices[] = {10.00, 5.00, 2.73, 20.00, 4.55, 9.09, 50.00, 3.64};
  const int lines = 1 + pick(20);
  std::string items;
  double sum = 0;
  for (int l = 0; l < lines; ++l) {
    int product = 1 + pick(kVariedProducts);
    std::string sku = VariedProductCode(product);
    if (product % 3 == 0 && pick(2)) sku += pick(2) ? "-PK2" : "-PK3";
    const int qty = pick(10) == 0 ? 12 : 1 + pick(3);
    const double price = kPrices[pick(8)];
    const double subtotal = price * qty, tax = subtotal / 10;
    sum += subtotal + tax;
    if (l) items += ",";
    items += R"({"id":)" + std::to_string(l + 1) + R"(,"sku":")" + sku + R"(","quantity":)" + std::to_string(qty) +
             R"(,"subtotal":")" + money(subtotal) + R"(","subtotal_tax":")" + money(tax) + R"("})";
  }
  const bool member = pick(3) != 0, delivery = pick(2) != 0, deposit = pick(5) == 0, coupon = pick(6) == 0;
  const bool phone = pick(4) != 0, secondLine = pick(3) == 0;
  const double shipping = delivery ? 9.95 : 0, discount = coupon ? 5 : 0, depositPaid = deposit ? 5 : 0;
  const double total = sum + shipping - discount - depositPaid;
  const std::string customer = std::to_string(1 + pick(5000));
  const std::string address = std::string(R"("first_name":"Ann","last_name":"O'Neil","phone":")") +
                              (phone ? "0411 555 " + customer : "") + R"(","address_1":")" + customer +
                              R"( Main St","address_2":")" + (secondLine ? "Unit 2" : "") +
                              R"(","city":"Hobart","postcode":"7000","state":"TAS","country":"AU")";
  return R"({"id":)" + std::to_string(id) + R"(,"status":"processing","customer_id":)" + (member ? "0" : customer) +
         R"(,"date_created_gmt":"2026-03-05T01:02:03","date_modified_gmt":"2026-03-05T01:03:00",)"
         R"("date_paid_gmt":"2026-03-05T01:02:30","payment_method":"stripe","shipping_total":")" +
         money(shipping) + R"(","total":")" + money(total) + R"(","billing":{)" + address +
         R"(,"email":"ann@example.com"},"shipping":{)" + address + R"(},"shipping_lines":[{"id":1,"method_id":")" +
         (delivery ? "flat_rate" : "local_pickup") + R"(","total":")" + money(shipping) + R"("}],"line_items":[)" +
         items + R"(],"meta_data":[{"id":1,"key":"_qev_loyalty_redemption","value":{"memberCode":")" +
         (member ? "M" + customer : "") + R"(","redeemPointsDollar":"0","pointsBalance":"10","redeemPoints":"0",)"
         R"("redeemBasePoints":"0","dealCouponDiscount":")" + money(discount) + R"(","couponId":")" +
         (coupon ? "SAVE5" : "") + R"(","depositPayment":")" + money(depositPaid) + R"(","depositBalance":")" +
         (deposit ? "10" : "0") + R"("}}],"refunds":[]})";
}

}  // namespace ooa::bench
