// Orders against the real shop, on the demo POS database and its catalogue:
// the demo's six orders placed in the shop through its REST API (members and
// guests, pickup and delivery, a coupon, redeemed points, 10 % GST included
// in the prices) become invoices in one order pass; a cancellation and two
// refunds become credit notes. And 105 orders are imported in one pass.
// Both sides are checked: the POS rows against the orders and refunds the
// shop answers.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "config/Clock.h"
#include "config/UtilUnit.h"
#include "realshop/RealShopWorld.h"
#include "sync/OrderSyncPass.h"

namespace ooa::test {
namespace {

rapidjson::Document ReadJsonFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  rapidjson::Document doc;
  doc.Parse(text.str().c_str());
  return doc;
}

class OrderSuite : public TRealShopTest {
 protected:
  // The demo POS database and its catalogue in the shop (without the
  // translated names: a plain shop would keep them as products of their own).
  void DemoCatalogue() {
    OpenPos(true);
    Exec("Update Product Set Description1 = Null, Description2 = Null, Description3 = Null;"
         "Update Category Set Description1 = Null, Description2 = Null, Description3 = Null;");
    CataloguePass();
    CataloguePass();  // products adopted from an earlier run get the POS's figures
    ASSERT_NE(ProductId("GIN700"), "") << "the demo catalogue did not reach the shop";
  }

  // 10 % GST included in the prices, as the demo's orders have it.
  void GstIncluded() {
    for (const auto& [path, value] : {std::pair<const char*, const char*>{"settings/general/woocommerce_calc_taxes", "yes"},
                                      {"settings/tax/woocommerce_prices_include_tax", "yes"},
                                      {"settings/tax/woocommerce_tax_based_on", "base"}}) {
      ASSERT_EQ(Shop->Post(path, std::string(R"({"value":")") + value + "\"}").Status, 200) << path;
    }
    rapidjson::Document rates = Shop->All("taxes");
    for (const auto& rate : rates.GetArray())
      if (MemberText(rate, "name") == "GST" && MemberText(rate, "country") == "AU") return;
    ASSERT_EQ(Shop->Post("taxes", R"({"country":"AU","rate":"10.0000","name":"GST","shipping":false,"class":"standard"})")
                  .Status,
              201);
  }

  std::string ProductId(const std::string& code) {
    return Value("Select WooID From ProductExtend Where ProductCode = " + SqlTextLiteral(code));
  }
  // {"product_id":..} or {"product_id":..,"variation_id":..} of a SKU.
  std::string LineTarget(const std::string& sku) {
    const size_t pk = sku.rfind("-PK");
    if (pk == std::string::npos) return R"("product_id":)" + ProductId(sku);
    const std::string code = sku.substr(0, pk), level = sku.substr(pk + 3);
    return R"("product_id":)" + ProductId(code) + R"(,"variation_id":)" +
           Value("Select WooVarID" + level + " From ProductExtend Where ProductCode = " + SqlTextLiteral(code));
  }

  // The order pass starts from a moment ago: orders of earlier runs are not
  // its business. Gives that moment in GMT, as the shop's "..._gmt" times
  // are written but with a space for the T.
  std::string OrdersFromNow() {
    const TDateTime from = Clock().NowLocal().AddSeconds(-2);
    Db->UpdateSyncLogPro(from, "orders");
    return FormatQueryTime(Clock().LocalToUtc(from));
  }

  // The invoice (KindFlag 6) of a shop order: column -> value.
  std::map<std::string, std::string> Invoice(const std::string& orderId) {
    std::map<std::string, std::string> out;
    TRecordSet rows = Rows(
        "Select InvoiceNo, CustomerCode, Freight, PaidAmount, RedeemPointsAsDollar, TotalRedeemPoints, VoucherAmount, "
        "OnlineOrderStatus From InvoiceHead Where KindFlag = 6 And OnlineOrderId = " + SqlTextLiteral(orderId));
    if (rows.RecordCount() != 1) return out;
    for (size_t c = 0; c < rows.Columns.size(); ++c) out[rows.Columns[c]] = rows.Rows[0][c].AsString();
    return out;
  }
  int Count(const std::string& where) { return std::stoi(Value("Select Count(*) From InvoiceHead Where " + where)); }

  static double D(const std::string& text) { return text.empty() ? std::nan("") : std::stod(text); }
};

TEST_F(OrderSuite, OrdersBecomeInvoicesAndCancellationsAndRefundsCreditNotes) {
  DemoCatalogue();
  GstIncluded();
  const std::string tag = RunTag();
  std::string lowerTag = tag;
  for (char& c : lowerTag) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  TShopAnswer coupon = Shop->Post("coupons", R"({"code":")" + lowerTag + R"(-five","discount_type":"fixed_cart",)"
                                             R"("amount":"5.00"})");
  ASSERT_EQ(coupon.Status, 201) << coupon.Body;
  const std::string couponId = MemberText(coupon.Json, "id");

  // The demo's orders, placed as a customer's checkout would leave them:
  // 5001 redeems 50 points for $5, 5002 uses the coupon.
  rapidjson::Document demo = ReadJsonFile(std::string(OOA_SOURCE_DIR) + "/scripts/demo/orders.json");
  ASSERT_TRUE(demo.IsArray());
  OrdersFromNow();
  std::map<std::string, std::string> shopIdOf;           // demo id -> shop order id
  std::map<std::string, rapidjson::Document> placed;     // shop order id -> the shop's answer
  std::map<std::string, std::string> customers;          // demo customer id -> shop customer id
  for (auto& order : demo.GetArray()) {
    const std::string demoId = MemberText(order, "id");
    auto& a = demo.GetAllocator();
    std::string customerId = "0";
    if (const std::string demoCustomer = MemberText(order, "customer_id"); demoCustomer != "0") {
      if (!customers.count(demoCustomer)) {
        const rapidjson::Value& billing = order["billing"];
        TShopAnswer c = Shop->Post("customers", R"({"email":")" + lowerTag + "-" + demoCustomer + R"(@example.com",)"
                                                R"("first_name":)" + Quoted(MemberText(billing, "first_name")) +
                                                    R"(,"last_name":)" + Quoted(MemberText(billing, "last_name")) + "}");
        ASSERT_EQ(c.Status, 201) << c.Body;
        customers[demoCustomer] = MemberText(c.Json, "id");
      }
      customerId = customers[demoCustomer];
    }
    rapidjson::Value& loyalty = order["meta_data"][0]["value"];
    std::string coupons = "[]";
    if (demoId == "5001") {
      loyalty["redeemPoints"].SetString("50", a);
      loyalty["redeemPointsDollar"].SetString("5.00", a);
    }
    if (demoId == "5002") {
      coupons = R"([{"code":")" + lowerTag + R"(-five"}])";
      loyalty["dealCouponDiscount"].SetString("5.00", a);
      loyalty["couponId"].SetString(couponId.c_str(), a);
    }
    std::string lines;
    for (const auto& line : order["line_items"].GetArray())
      lines += (lines.empty() ? "{" : ",{") + LineTarget(MemberText(line, "sku")) + R"(,"quantity":)" +
               MemberText(line, "quantity") + "}";
    const rapidjson::Value& ship = order["shipping_lines"][0];
    const std::string body =
        R"({"status":"processing","set_paid":true,"customer_id":)" + customerId + R"(,"payment_method":)" +
        Quoted(MemberText(order, "payment_method")) + R"(,"payment_method_title":)" +
        Quoted(MemberText(order, "payment_method_title")) + R"(,"customer_note":)" +
        Quoted(MemberText(order, "customer_note")) + R"(,"billing":)" + JsonOf(order["billing"]) + R"(,"shipping":)" +
        JsonOf(order["shipping"]) + R"(,"shipping_lines":[{"method_id":)" + Quoted(MemberText(ship, "method_id")) +
        R"(,"method_title":)" + Quoted(MemberText(ship, "method_title")) + R"(,"total":)" +
        Quoted(MemberText(ship, "total")) + R"(}],"line_items":[)" + lines + R"(],"coupon_lines":)" + coupons +
        R"(,"meta_data":)" + JsonOf(order["meta_data"]) + "}";
    TShopAnswer created = Shop->Post("orders", body);
    ASSERT_EQ(created.Status, 201) << demoId << ": " << created.Body;
    std::string id = MemberText(created.Json, "id");
    if (MemberText(order, "status") == "completed") {
      created = Shop->Post("orders/" + id, R"({"status":"completed"})");
      ASSERT_EQ(created.Status, 200) << created.Body;
    }
    shopIdOf[demoId] = id;
    placed[id].Swap(created.Json);
  }
  EXPECT_NEAR(Number(&placed[shopIdOf["5002"]]["discount_total"]) +
                  Number(&placed[shopIdOf["5002"]]["discount_tax"]),
              5.00, 0.02);
  EXPECT_GT(Number(&placed[shopIdOf["5001"]]["total_tax"]), 0);  // GST in the prices

  OrderPass();
  for (const auto& [demoId, id] : shopIdOf) {
    SCOPED_TRACE("order " + demoId + " = shop order " + id);
    const rapidjson::Document& order = placed[id];
    const auto invoice = Invoice(id);
    ASSERT_FALSE(invoice.empty());
    // Paid: the order's total, and a deposit paid from the member's balance besides.
    const double deposit = Number(&order["meta_data"][0]["value"]["depositPayment"]);
    EXPECT_NEAR(D(invoice.at("PaidAmount")), Number(&order["total"]) + deposit, 0.005);
    EXPECT_NEAR(D(invoice.at("Freight")), Number(&order["shipping_total"]), 0.005);
    EXPECT_EQ(invoice.at("OnlineOrderStatus"), MemberText(order, "status"));
    const std::string member = MemberText(order["meta_data"][0]["value"], "memberCode");
    if (!member.empty()) {
      EXPECT_EQ(invoice.at("CustomerCode"), member);
    }
    // Each line's quantity left the POS stock, under the line's product.
    for (const auto& line : order["line_items"].GetArray()) {
      std::string sku = MemberText(line, "sku");
      const size_t pk = sku.rfind("-PK");
      const std::string code = pk == std::string::npos ? sku : sku.substr(0, pk);
      EXPECT_EQ(Value("Select Count(*) From InvoiceItem i Join InvoiceHead h On i.InvoiceNo = h.InvoiceNo Where "
                      "h.OnlineOrderId = " + SqlTextLiteral(id) + " And i.ProductCode = " + SqlTextLiteral(code)),
                "1")
          << sku;
    }
  }
  EXPECT_DOUBLE_EQ(D(Invoice(shopIdOf["5001"])["RedeemPointsAsDollar"]), 5);
  EXPECT_DOUBLE_EQ(D(Invoice(shopIdOf["5001"])["TotalRedeemPoints"]), 50);
  EXPECT_DOUBLE_EQ(D(Invoice(shopIdOf["5002"])["VoucherAmount"]), 5);
  EXPECT_NE(Invoice(shopIdOf["5001"])["CustomerCode"], Invoice(shopIdOf["5002"])["CustomerCode"]);

  // 5005 is cancelled, 5006 refunded in two steps (its Gin, then the Shiraz
  // with an amount of its own), as the shop's refund form makes them.
  ASSERT_EQ(Shop->Post("orders/" + shopIdOf["5005"], R"({"status":"cancelled"})").Status, 200);
  const rapidjson::Document& order6 = placed[shopIdOf["5006"]];
  auto refund = [&](const std::string& sku, const std::string& amount, const std::string& reason) {
    for (const auto& line : order6["line_items"].GetArray()) {
      if (MemberText(line, "sku") != sku) continue;
      std::string taxes, sum = amount;
      double total = Number(&line["total"]);
      for (const auto& tax : line["taxes"].GetArray()) {
        taxes += (taxes.empty() ? "{" : ",{") + std::string(R"("id":)") + MemberText(tax, "id") +
                 R"(,"refund_total":)" + MemberText(tax, "total") + "}";
        total += Number(&tax["total"]);
      }
      if (sum.empty()) sum = FloatToText(total);
      TShopAnswer r = Shop->Post("orders/" + shopIdOf["5006"] + "/refunds",
                                 R"({"amount":")" + sum + R"(","reason":)" + Quoted(reason) +
                                     R"(,"api_refund":false,"line_items":[{"id":)" + MemberText(line, "id") +
                                     R"(,"quantity":1,"refund_total":)" + MemberText(line, "total") +
                                     R"(,"refund_tax":[)" + taxes + R"(]}],"meta_data":[{"key":)"
                                     R"("_qev_loyalty_redemption_refund","value":{"memberCode":"",)"
                                     R"("redeemPointsDollar":"0","redeemPoints":"0","dealCouponDiscount":"0",)"
                                     R"("depositPayment":"0"}}]})");
      EXPECT_EQ(r.Status, 201) << r.Body;
      return MemberText(r.Json, "id");
    }
    ADD_FAILURE() << "no line " << sku;
    return std::string();
  };
  const std::string refund1 = refund("GIN700", "", "Gin bottle arrived broken");
  OrderPass();
  const std::string refund2 = refund("SHZ750", "31.95", "Customer returned the rest of the order");
  OrderPass();

  const std::string cancelled = Invoice(shopIdOf["5005"])["InvoiceNo"];
  EXPECT_EQ(Count("KindFlag = 5 And ReferenceNo = " + SqlTextLiteral(cancelled)), 1);
  // The shop's side: the cancelled order, and the two refunds with their money.
  TShopAnswer order5 = Shop->Get("orders/" + shopIdOf["5005"]);
  EXPECT_EQ(MemberText(order5.Json, "status"), "cancelled");
  rapidjson::Document refunds = Shop->All("orders/" + shopIdOf["5006"] + "/refunds");
  ASSERT_EQ(refunds.Size(), 2u);
  std::map<std::string, double> amountOf;
  for (const auto& r : refunds.GetArray()) amountOf[MemberText(r, "id")] = Number(&r["amount"]);
  // One credit note per refund, crediting 5006's invoice, paying the refunded money back.
  for (const std::string& refundId : {refund1, refund2}) {
    SCOPED_TRACE("refund " + refundId);
    TRecordSet note = Rows("Select ReferenceNo, InvoiceNo From InvoiceHead Where KindFlag = 5 And OnlineOrderId = " +
                           SqlTextLiteral(refundId));
    ASSERT_EQ(note.RecordCount(), 1);
    EXPECT_EQ(note.Rows[0][0].AsString(), Invoice(shopIdOf["5006"])["InvoiceNo"]);
    ASSERT_EQ(amountOf.count(refundId), 1u);
    // The money goes back as a payment of the invoice named after the credit note.
    EXPECT_NEAR(D(Value("Select Sum(PaidAmount) From RecvAcct Where Notes = " +
                        SqlTextLiteral("SALE REFUND: " + note.Rows[0][1].AsString()))),
                -amountOf[refundId], 0.005);
  }
}

TEST_F(OrderSuite, HundredAndFiveOrdersInOnePass) {
  DemoCatalogue();
  const std::string gin = LineTarget("GIN700"), six = LineTarget("LAGER330-PK2");
  const std::string windowStart = OrdersFromNow();
  std::vector<std::string> ids;
  for (int first = 0; first < 105; first += 100) {
    std::string batch;
    for (int i = first; i < std::min(first + 100, 105); ++i) {
      batch += std::string(batch.empty() ? "" : ",") +
               R"({"status":"processing","set_paid":true,"payment_method":"stripe","payment_method_title":"Card",)"
               R"("billing":{"first_name":"Bulk","last_name":"Buyer )" + std::to_string(i) +
               R"(","email":"bulk)" + std::to_string(i) +
               R"(@example.com","address_1":"1 Test St","city":"Sydney","postcode":"2000","state":"NSW",)"
               R"("country":"AU","phone":"0400 000 000"},"shipping_lines":[{"method_id":"local_pickup",)"
               R"("method_title":"Pickup in store","total":"0.00"}],"line_items":[{)" + (i % 2 ? gin : six) +
               R"(,"quantity":1}],"meta_data":[{"key":"_qev_loyalty_redemption","value":{"memberCode":"",)"
               R"("redeemPointsDollar":"0","pointsBalance":"0","redeemPoints":"0","redeemBasePoints":"0",)"
               R"("dealCouponDiscount":"0","couponId":"","depositPayment":"0","depositBalance":"0"}}]})";
    }
    TShopAnswer answer = Shop->Post("orders/batch", R"({"create":[)" + batch + "]}");
    ASSERT_EQ(answer.Status, 200) << answer.Body.substr(0, 500);
    for (const auto& created : answer.Json["create"].GetArray()) {
      ASSERT_FALSE(created.HasMember("error")) << JsonOf(created);
      ids.push_back(MemberText(created, "id"));
    }
  }
  ASSERT_EQ(ids.size(), 105u);

  // Each of the 105 orders has one invoice, and no order has two. The shop is
  // shared with earlier tests and runs its own timed jobs, so an order of
  // theirs that changed since the pass's window began may come in as well:
  // that is named, not counted against the pass. One the shop last changed
  // before the window is a fault.
  auto checkEachOnce = [&](const char* when) {
    SCOPED_TRACE(when);
    for (const std::string& id : ids)
      EXPECT_EQ(Count("KindFlag = 6 And OnlineOrderId = " + SqlTextLiteral(id)), 1) << "order " << id;
    TRecordSet twice = Rows("Select OnlineOrderId, Count(*) From InvoiceHead Where KindFlag = 6 "
                            "Group By OnlineOrderId Having Count(*) > 1");
    for (const auto& row : twice.Rows)
      ADD_FAILURE() << "order " << row[0].AsString() << " has " << row[1].AsString() << " invoices";
    const std::set<std::string> ours(ids.begin(), ids.end());
    TRecordSet all = Rows("Select OnlineOrderId From InvoiceHead Where KindFlag = 6");
    for (const auto& row : all.Rows) {
      const std::string id = row[0].AsString();
      if (ours.count(id)) continue;
      TShopAnswer other = Shop->Get("orders/" + id);
      std::string modified = MemberText(other.Json, "date_modified_gmt");
      std::replace(modified.begin(), modified.end(), 'T', ' ');
      EXPECT_GE(modified, windowStart) << "order " << id << " was imported, but the shop last changed it before "
                                       << "the order pass's window";
      std::cout << "[ NOTE     ] order " << id << " of an earlier test came in too: status "
                << MemberText(other.Json, "status") << ", created " << MemberText(other.Json, "date_created")
                << ", modified " << MemberText(other.Json, "date_modified") << "\n";
    }
  };
  OrderPass();
  checkEachOnce("first pass");
  // Nothing is left for the next pass.
  OrderPass();
  checkEachOnce("second pass");
}

}  // namespace
}  // namespace ooa::test
