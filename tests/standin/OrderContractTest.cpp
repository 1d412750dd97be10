// GET orders and refunds: parameter checks, paging headers, strict "modified after"
// to the second, the order and refund shapes, and modification by refunds and
// status changes.
#include <gtest/gtest.h>

#include "StandinHarness.h"

namespace ooa::standin::test {
namespace {

class OrderContract : public ::testing::Test {
 protected:
  // Orders 1..count, order i last modified at 2024-03-05T03:36:(i) UTC.
  void SeedOrders(int count) {
    std::string body = "[";
    for (int i = 1; i <= count; ++i) {
      char modified[32];
      std::snprintf(modified, sizeof modified, "2024-03-05T03:%02d:%02d", 36 + i / 60, i % 60);
      body += (i > 1 ? "," : "") + std::string(R"({"id":)") + std::to_string(i) +
              R"(,"date_created_gmt":"2024-03-01T00:00:00","date_modified_gmt":")" + modified + R"("})";
    }
    Shop.AdminPost("/standin/orders", body + "]");
  }
  std::vector<int64_t> Ids(const httplib::Result& result) {
    std::vector<int64_t> ids;
    auto doc = ParsedBody(result);
    EXPECT_TRUE(doc.IsArray()) << result->body;
    if (doc.IsArray()) {
      for (const auto& o : doc.GetArray()) ids.push_back(o["id"].GetInt64());
    }
    return ids;
  }
  TStandinHarness Shop;
};

TEST_F(OrderContract, PagingHeadersAndPages) {
  SeedOrders(25);
  struct TCase {
    const char* Page;
    const char* PerPage;
    std::vector<int64_t> Ids;
  } cases[] = {
      {"1", "10", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {"3", "10", {21, 22, 23, 24, 25}},
      {"4", "10", {}},  // past the end: [] with the headers still set
      {"1", "100", {}},
  };
  cases[3].Ids.clear();
  for (int i = 1; i <= 25; ++i) cases[3].Ids.push_back(i);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("page ") + c.Page + " per_page " + c.PerPage);
    auto result = Shop.Get("orders", {{"page", c.Page}, {"per_page", c.PerPage}, {"orderby", "id"}, {"order", "asc"}});
    ASSERT_TRUE(result);
    ASSERT_EQ(result->status, 200) << result->body;
    EXPECT_EQ(Ids(result), c.Ids);
    EXPECT_EQ(result->get_header_value("X-WP-Total"), "25");
    EXPECT_EQ(result->get_header_value("X-WP-TotalPages"), std::string(c.PerPage) == "10" ? "3" : "1");
  }
  // Default order: newest first by creation date (ties by id), ten per page.
  auto result = Shop.Get("orders");
  EXPECT_EQ(Ids(result).front(), 25);
  EXPECT_EQ(Ids(result).size(), 10u);
}

TEST_F(OrderContract, BadParametersAnswer400) {
  struct TCase {
    oauth::TParams Query;
    const char* Message;
  } cases[] = {
      {{{"per_page", "0"}}, "Invalid parameter(s): per_page"},
      {{{"per_page", "101"}}, "Invalid parameter(s): per_page"},
      {{{"per_page", "ten"}}, "Invalid parameter(s): per_page"},
      {{{"page", "0"}}, "Invalid parameter(s): page"},
      {{{"order", "up"}}, "Invalid parameter(s): order"},
      {{{"orderby", "total"}}, "Invalid parameter(s): orderby"},
      {{{"modified_after", "2024-03-05"}}, "Invalid parameter(s): modified_after"},
      {{{"per_page", "500"}, {"order", "sideways"}}, "Invalid parameter(s): per_page, order"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Message);
    auto result = Shop.Get("orders", c.Query);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400);
    auto body = ParsedBody(result);
    EXPECT_STREQ(body["code"].GetString(), "rest_invalid_param");
    EXPECT_STREQ(body["message"].GetString(), c.Message);
  }
  auto body = ParsedBody(Shop.Get("orders", {{"per_page", "101"}}));
  EXPECT_STREQ(body["data"]["params"]["per_page"].GetString(),
               "per_page must be between 1 (inclusive) and 100 (inclusive)");
}

TEST_F(OrderContract, ModifiedAfterIsStrictToTheSecond) {
  SeedOrders(3);  // modified at 03:36:01, :02, :03
  struct TCase {
    const char* After;
    std::vector<int64_t> Ids;
  } cases[] = {
      {"2024-03-05 03:36:02", {3}},
      {"2024-03-05T03:36:02", {3}},
      {"2024-03-05T03:36:01.999", {2, 3}},  // fractions do not count
      {"2024-03-05T03:36:00", {1, 2, 3}},
      {"2024-03-05T03:36:03", {}},
      {"2024-03-05T13:36:02+10:00", {3}},  // an offset is honoured
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.After);
    auto result = Shop.Get("orders", {{"modified_after", c.After}, {"dates_are_gmt", "1"}, {"per_page", "100"},
                                      {"orderby", "id"}, {"order", "asc"}});
    ASSERT_TRUE(result);
    EXPECT_EQ(Ids(result), c.Ids) << result->body;
    EXPECT_EQ(result->get_header_value("X-WP-Total"), std::to_string(c.Ids.size()));
  }
}

TEST_F(OrderContract, SeededOrderTakesTheShopsShape) {
  Shop.AdminPost("/standin/orders", R"([{"id": 42, "status": "wc-processing", "total": 32, "shipping_total": 5,
      "customer_id": 57,
      "line_items": [{"sku": "WINE-PK2", "quantity": 2, "subtotal": 20, "subtotal_tax": 2}],
      "shipping_lines": [{"method_id": "flat_rate", "total": "5.00"}],
      "meta_data": [{"key": "_qev_loyalty_redemption", "value": {"memberCode": "M1", "depositPayment": 0}}]}])");
  auto doc = ParsedBody(Shop.Get("orders/42"));
  ASSERT_TRUE(doc.IsObject());
  EXPECT_STREQ(doc["status"].GetString(), "processing");
  EXPECT_STREQ(doc["total"].GetString(), "32.00");
  EXPECT_STREQ(doc["shipping_total"].GetString(), "5.00");
  EXPECT_EQ(doc["customer_id"].GetInt(), 57);
  const auto& line = doc["line_items"][0];
  EXPECT_TRUE(line["id"].IsInt64());
  EXPECT_EQ(line["quantity"].GetInt(), 2);
  EXPECT_STREQ(line["subtotal"].GetString(), "20.00");
  EXPECT_STREQ(line["subtotal_tax"].GetString(), "2.00");
  EXPECT_STREQ(line["total"].GetString(), "20.00");
  EXPECT_TRUE(line["price"].IsNumber());
  // The tax by rate, on the line and for the order, as the shop lists it.
  EXPECT_EQ(ToText(line["taxes"]), R"([{"id":1,"total":"2.000000","subtotal":"2.000000"}])");
  ASSERT_EQ(doc["tax_lines"].Size(), 1u);
  EXPECT_EQ(doc["tax_lines"][0]["rate_id"].GetInt(), 1);
  EXPECT_STREQ(doc["tax_lines"][0]["tax_total"].GetString(), "2.00");
  EXPECT_STREQ(doc["shipping_lines"][0]["method_id"].GetString(), "flat_rate");
  EXPECT_TRUE(doc["meta_data"][0]["id"].IsInt64());
  EXPECT_STREQ(doc["meta_data"][0]["value"]["memberCode"].GetString(), "M1");
  EXPECT_TRUE(doc["billing"]["email"].IsString());
  EXPECT_TRUE(doc["date_paid_gmt"].IsString());
  EXPECT_TRUE(doc["date_completed_gmt"].IsNull());
  EXPECT_TRUE(doc["refunds"].IsArray());

  // A raw order is served exactly as seeded.
  Shop.AdminPost("/standin/orders?raw=1", R"([{"id": 43, "total": 5, "line_items": []}])");
  EXPECT_EQ(Shop.Get("orders/43")->body, R"({"id":43,"total":5,"line_items":[]})");
}

TEST_F(OrderContract, RefundsAndStatusChangesMoveTheModificationTime) {
  Shop.AdminPost("/standin/clock", R"({"now": "2024-03-05T03:00:00"})");
  Shop.AdminPost("/standin/orders", R"([{"id": 7, "status": "completed", "total": "44.00",
      "line_items": [{"sku": "TEA", "quantity": 4, "subtotal": "40.00", "subtotal_tax": "4.00"}]}])");
  int64_t lineId = ParsedBody(Shop.Get("orders/7"))["line_items"][0]["id"].GetInt64();

  Shop.AdminPost("/standin/clock", R"({"now": "2024-03-05T03:10:00"})");
  Shop.AdminPost("/standin/orders/7/refunds", R"({"reason": "broken", "line_items": [{"line_item_id": )" +
                                                  std::to_string(lineId) + R"(, "quantity": 1}],
      "meta_data": [{"key": "_qev_loyalty_redemption_refund", "value": {"depositPayment": 0}}]})");
  auto order = ParsedBody(Shop.Get("orders/7"));
  EXPECT_STREQ(order["date_modified_gmt"].GetString(), "2024-03-05T03:10:00");
  EXPECT_STREQ(order["status"].GetString(), "completed");
  ASSERT_EQ(order["refunds"].Size(), 1u);
  EXPECT_STREQ(order["refunds"][0]["total"].GetString(), "-11.00");
  EXPECT_STREQ(order["refunds"][0]["reason"].GetString(), "broken");

  auto refunds = ParsedBody(Shop.Get("orders/7/refunds"));
  ASSERT_EQ(refunds.Size(), 1u);
  const auto& refund = refunds[0];
  EXPECT_EQ(refund["id"], order["refunds"][0]["id"]);
  EXPECT_STREQ(refund["amount"].GetString(), "11.00");
  EXPECT_STREQ(refund["date_created_gmt"].GetString(), "2024-03-05T03:10:00");
  EXPECT_STREQ(refund["meta_data"][0]["key"].GetString(), "_qev_loyalty_redemption_refund");
  const auto& line = refund["line_items"][0];
  EXPECT_EQ(line["quantity"].GetInt(), -1);
  EXPECT_STREQ(line["subtotal"].GetString(), "-10.00");
  EXPECT_STREQ(line["subtotal_tax"].GetString(), "-1.00");
  EXPECT_STREQ(line["sku"].GetString(), "TEA");

  // The rest of the money refunded: the order becomes "refunded".
  Shop.AdminPost("/standin/clock", R"({"now": "2024-03-05T03:20:00"})");
  Shop.AdminPost("/standin/orders/7/refunds", R"({"amount": 33})");
  order = ParsedBody(Shop.Get("orders/7"));
  EXPECT_STREQ(order["status"].GetString(), "refunded");
  EXPECT_STREQ(order["date_modified_gmt"].GetString(), "2024-03-05T03:20:00");
  EXPECT_EQ(order["refunds"].Size(), 2u);
  EXPECT_STREQ(order["refunds"][0]["total"].GetString(), "-33.00");  // newest first

  Shop.AdminPost("/standin/clock", R"({"now": "2024-03-05T03:30:00"})");
  Shop.AdminPost("/standin/orders/7/status", R"({"status": "cancelled"})");
  auto after = Shop.Get("orders", {{"modified_after", "2024-03-05T03:29:59"}, {"dates_are_gmt", "1"}});
  auto list = ParsedBody(after);
  ASSERT_EQ(list.Size(), 1u);
  EXPECT_STREQ(list[0]["status"].GetString(), "cancelled");
  EXPECT_STREQ(list[0]["date_modified_gmt"].GetString(), "2024-03-05T03:30:00");

  // The refund list takes the collection parameters too: modified_after filters
  // refunds by their own time.
  refunds = ParsedBody(Shop.Get("orders/7/refunds", {{"modified_after", "2024-03-05T03:15:00"},
                                                       {"dates_are_gmt", "1"}}));
  ASSERT_EQ(refunds.Size(), 1u);
  EXPECT_STREQ(refunds[0]["amount"].GetString(), "33.00");
}

TEST_F(OrderContract, UnknownOrderStatusAndRoute) {
  // The refunds of an order the shop does not know: none.
  auto result = Shop.Get("orders/999/refunds");
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(result->body, "[]");
  EXPECT_EQ(result->get_header_value("X-WP-Total"), "0");
  // A status the shop does not know (the stored form "wc-..." neither) is a bad parameter.
  for (const char* status : {"bogus", "processing,wc-completed"}) {
    result = Shop.Get("orders", {{"status", status}});
    EXPECT_EQ(result->status, 400) << status;
    auto body = ParsedBody(result);
    EXPECT_EQ(ErrorCode(body), "rest_invalid_param") << status;
    EXPECT_TRUE(body["data"]["params"].HasMember("status")) << status;
  }
  // A doubled slash (a base URL ending in "/") reaches no route.
  result = Shop.Get("/orders");
  EXPECT_EQ(result->status, 404);
  EXPECT_EQ(ErrorCode(ParsedBody(result)), "rest_no_route");
}

}  // namespace
}  // namespace ooa::standin::test
