// Hostile texts in shop orders, imported by the order pass from the stand-in
// shop into the embedded POS database: every text is stored exactly as the
// shop sent it and never runs as part of a statement; a text longer than its
// POS column refuses that order alone, with a clear message, writing nothing.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/UtilUnit.h"
#include "hardening/NastyTexts.h"
#include "hardening/OrderWorld.h"
#include "sync/OrderSync.h"

namespace ooa::test {
namespace {

class NastyOrderText : public TOrderWorld {
 protected:
  std::string CustomerColumn(const std::string& code, const std::string& column) {
    return Pos.Value("Select " + column + " From Customer Where CustomerCode=" + SqlTextLiteral(code)).AsString();
  }
  std::string HeadColumn(int orderId, const std::string& column) {
    return Pos.Value("Select " + column + " From InvoiceHead Where OnlineOrderId=N'" + std::to_string(orderId) + "'")
        .AsString();
  }
  std::string Seeded(const std::vector<std::string>& orders) {
    std::string body = "[";
    for (size_t i = 0; i < orders.size(); ++i) body += (i ? "," : "") + orders[i];
    return body + "]";
  }
};

// Every text in the billing and shipping fields, the coupon id and the SKU of
// a line (a product the POS does not know), all orders in one pass.
TEST_F(NastyOrderText, StoredExactlyAndNeverExecuted) {
  const std::vector<TNastyText> texts = NastyTexts();
  std::vector<std::string> orders;
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string t = JsonString(texts[i].Text);
    orders.push_back(MemberOrder(9000 + static_cast<int>(i), "M" + std::to_string(i),
                                 R"("first_name": )" + t + R"(, "last_name": "L", "phone": )" + t +
                                     R"(, "email": )" + t + R"(, "address_1": )" + t + R"(, "address_2": "",)" +
                                     R"("city": )" + t + R"(, "postcode": "7000", "state": "TAS", "country": "AU")",
                                 R"("first_name": )" + t + R"(, "last_name": "S", "phone": "", "address_1": "A",)" +
                                     R"("address_2": "", "city": )" + t + R"(, "postcode": "7000")",
                                 texts[i].Text, texts[i].Text));
  }
  AdminPost("/standin/orders", Seeded(orders));

  SyncOrders(Woo);

  ASSERT_EQ(Count("Select Count(*) From InvoiceHead"), static_cast<int64_t>(texts.size()));
  for (size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(texts[i].Label);
    const std::string& t = texts[i].Text;
    const std::string code = "M" + std::to_string(i);
    const int id = 9000 + static_cast<int>(i);
    EXPECT_EQ(CustomerColumn(code, "CustomerName"), t + " L");
    EXPECT_EQ(CustomerColumn(code, "Telephone"), t);
    EXPECT_EQ(CustomerColumn(code, "EMail"), t);
    EXPECT_EQ(CustomerColumn(code, "Address"), t + " ");
    EXPECT_EQ(CustomerColumn(code, "Suburb"), t);
    EXPECT_EQ(CustomerColumn(code, "DeliverySuburb"), t);
    EXPECT_EQ(CustomerColumn(code, "DeliveryAddress"), t + " S, , A ");
    EXPECT_EQ(HeadColumn(id, "VoucherId"), t);
    EXPECT_EQ(HeadColumn(id, "CustomerCode"), code);
    EXPECT_EQ(Pos.Value("Select ProductCode From InvoiceItem Where ID=2 And InvoiceNo=" +
                        SqlTextLiteral(HeadColumn(id, "InvoiceNo")))
                  .AsString(),
              t);
  }
  // Nothing ran that the texts spelled: every table and row is still there.
  EXPECT_EQ(Count("Select Count(*) From Product"), 2);
  EXPECT_EQ(Count("Select Count(*) From Customer"), static_cast<int64_t>(texts.size()));
  EXPECT_EQ(Count("Select Count(*) From InvoiceItem"), static_cast<int64_t>(2 * texts.size()));
}

// Member codes become the POS customer codes: a second order of the same
// member finds its customer row and updates it.
TEST_F(NastyOrderText, MemberCodesKeyTheirCustomerRows) {
  auto chars = [](const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
  };
  std::vector<std::string> codes;
  for (const TNastyText& t : NastyTexts())
    if (chars(t.Text) <= 15) codes.push_back(t.Text);
  ASSERT_GE(codes.size(), 10u);
  std::vector<std::string> orders;
  for (size_t i = 0; i < codes.size(); ++i)
    for (int visit = 0; visit < 2; ++visit)
      orders.push_back(MemberOrder(9400 + static_cast<int>(2 * i) + visit, codes[i],
                                   R"("first_name": "Visit", "last_name": ")" + std::to_string(visit) + "\"",
                                   R"("first_name": "S")"));
  AdminPost("/standin/orders", Seeded(orders));

  SyncOrders(Woo);

  EXPECT_EQ(Count("Select Count(*) From Customer"), static_cast<int64_t>(codes.size()));
  for (size_t i = 0; i < codes.size(); ++i) {
    SCOPED_TRACE(codes[i]);
    EXPECT_EQ(CustomerColumn(codes[i], "CustomerName"), "Visit 1");
    for (int visit = 0; visit < 2; ++visit)
      EXPECT_EQ(HeadColumn(9400 + static_cast<int>(2 * i) + visit, "CustomerCode"), codes[i]);
  }
}

// POS product codes as the shop's SKUs: each sale, and its refund or
// cancellation, moves the stock of exactly that product.
TEST_F(NastyOrderText, ProductCodesAreSoldAndCreditedExactly) {
  const std::vector<TNastyText> texts = NastyTexts();
  std::vector<std::string> orders;
  for (size_t i = 0; i < texts.size(); ++i) {
    Pos.Exec("Insert Into Product(ProductCode, Description, GSTRate, MeasureQty, DeductStockQty, StockQty1, "
             "StockValue1, CalcSalesCostKind, LastOrderPrice, SalesPrice1) Values(" +
             SqlTextLiteral(texts[i].Text) + ", N'x', 10, 1, 1, 100, 500, 0, 1, 10);");
    orders.push_back(MemberOrder(9300 + static_cast<int>(i), "P" + std::to_string(i), R"("first_name": "Ann")",
                                 R"("first_name": "Ann")", "", texts[i].Text + "-PK1"));
  }
  AdminPost("/standin/orders", Seeded(orders));
  auto stockOf = [&](const std::string& code) {
    return Pos.Value("Select StockQty1 From Product Where ProductCode=" + SqlTextLiteral(code)).AsFloat();
  };

  SyncOrders(Woo);
  for (const TNastyText& t : texts) EXPECT_DOUBLE_EQ(stockOf(t.Text), 99) << t.Label;
  EXPECT_DOUBLE_EQ(stockOf("BEER"), 120 - 12.0 * texts.size());

  // Even orders: the shop refunds the hostile line; odd ones are cancelled.
  size_t refunded = 0;
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string order = "/standin/orders/" + std::to_string(9300 + i);
    if (i % 2 == 0) {
      ++refunded;
      AdminPost(order + "/refunds",
                R"({"amount": "1.10", "line_items": [{"line_item_id": 12, "quantity": 1}], "meta_data": [)"
                R"({"key": "_qev_loyalty_redemption_refund", "value": {"memberCode": "P)" +
                    std::to_string(i) +
                    R"(", "redeemPointsDollar": "0", "redeemPoints": "0", "dealCouponDiscount": "0",)"
                    R"( "depositPayment": "0"}}]})");
    } else {
      AdminPost(order + "/status", R"({"status": "cancelled"})");
    }
  }
  SyncOrders(Woo);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where InvoiceNo Like N'CN%'"),
            static_cast<int64_t>(texts.size()));
  for (const TNastyText& t : texts) EXPECT_DOUBLE_EQ(stockOf(t.Text), 100) << t.Label;
  EXPECT_DOUBLE_EQ(stockOf("BEER"), 120 - 12.0 * refunded);
  EXPECT_DOUBLE_EQ(stockOf("WINE"), 10);
}

// Column widths count characters, not bytes; one character too many refuses
// the order (and only that order) without writing any of it.
TEST_F(NastyOrderText, TextsAtAndBeyondTheColumnWidth) {
  std::string han50, han49;
  for (int i = 0; i < 50; ++i) han50 += "\xE6\x9D\x8E";  // 李
  for (int i = 0; i < 49; ++i) han49 += "\xE9\xBE\x8D";  // 龍
  const std::string huge(200000, 'x');
  struct TCase {
    const char* Label;
    std::string First, Last;
    bool Stored;
  };
  const TCase cases[] = {
      {"name of 100 characters", han50, han49, true},
      {"name of 101 characters", han50, han49 + "\xE9\xBE\x8D", false},
      {"name of 200,000 bytes", huge, "L", false},
  };
  std::vector<std::string> orders;
  for (size_t i = 0; i < std::size(cases); ++i)
    orders.push_back(MemberOrder(9100 + static_cast<int>(i), "W" + std::to_string(i),
                                 R"("first_name": )" + JsonString(cases[i].First) +
                                     R"(, "last_name": )" + JsonString(cases[i].Last),
                                 R"("first_name": "S")"));
  orders.push_back(MemberOrder(9199, "W9", R"("first_name": "Plain")", R"("first_name": "S")"));
  AdminPost("/standin/orders", Seeded(orders));

  SyncOrders(Woo);

  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].Label);
    const std::string code = "W" + std::to_string(i);
    const int id = 9100 + static_cast<int>(i);
    EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'" + std::to_string(id) + "'"),
              cases[i].Stored ? 1 : 0);
    EXPECT_EQ(Count("Select Count(*) From Customer Where CustomerCode=N'" + code + "'"), cases[i].Stored ? 1 : 0);
    if (cases[i].Stored) {
      EXPECT_EQ(CustomerColumn(code, "CustomerName"), cases[i].First + " " + cases[i].Last);
    }
  }
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'9199'"), 1);
  // The refused orders' lines took no stock: only the two stored orders did.
  EXPECT_DOUBLE_EQ(Pos.Value("Select StockQty1 From Product Where ProductCode=N'BEER'").AsFloat(), 120 - 2 * 12);
  // Refused before any statement is sent, with the field named.
  const std::string refusal = " |- The order's customer name is longer than the POS keeps (100 characters).";
  const std::vector<std::string> lines = LogLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), refusal), 2);
}

}  // namespace
}  // namespace ooa::test
