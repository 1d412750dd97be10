// The stand-in's own admin interface: injected faults, the request log, the state
// file across a restart, reset.
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "StandinHarness.h"

namespace ooa::standin::test {
namespace {

TEST(StandinFaults, EachKindHitsTheNextMatchingRequestsOnly) {
  TStandinHarness shop;
  struct TCase {
    const char* Fault;
    int Status;            // 0: the connection drops
    const char* Body;      // expected part of the body
  } cases[] = {
      {R"({"route": "^orders$", "kind": "status", "status": 503, "body": {"code": "busy"}})", 503, R"({"code":"busy"})"},
      {R"({"route": "^orders$", "kind": "status"})", 500, "standin_injected_fault"},
      {R"({"route": "^orders$", "kind": "notjson"})", 200, "<html>"},
      {R"({"route": "^orders$", "kind": "drop"})", 0, ""},
      {R"({"route": "^orders$", "kind": "delay", "delay_ms": 200})", 200, "[]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Fault);
    shop.AdminPost("/standin/faults", c.Fault);
    // Another route is not affected and does not use the fault up.
    EXPECT_EQ(shop.Get("orders/1")->status, 404);
    auto hit = shop.Get("orders");
    if (c.Status == 0) {
      EXPECT_FALSE(hit && hit->body.size() > 0);
    } else {
      ASSERT_TRUE(hit);
      EXPECT_EQ(hit->status, c.Status);
      EXPECT_NE(hit->body.find(c.Body), std::string::npos) << hit->body;
    }
    auto next = shop.Get("orders");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->status, 200);
    EXPECT_EQ(next->body, "[]");
  }
}

TEST(StandinFaults, CountAndBadDescriptions) {
  TStandinHarness shop;
  shop.AdminPost("/standin/faults", R"({"route": "products/batch", "count": 2, "status": 502})");
  EXPECT_EQ(shop.Post("products/batch", "{}")->status, 502);
  EXPECT_EQ(shop.Post("products/batch", "{}")->status, 502);
  EXPECT_EQ(shop.Post("products/batch", "{}")->status, 200);

  httplib::Client admin(shop.Origin());
  for (const char* bad : {R"({"kind": "explode"})", R"({"count": 0})", R"({"route": "("})", "[1]"}) {
    auto result = admin.Post("/standin/faults", bad, "application/json");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400) << bad;
  }
}

TEST(StandinRequestLog, KeepsWhatWasSentIncludingRepeatedParameters) {
  TStandinHarness shop;
  shop.Raw("GET", "/wp-json/wc/v3/orders?per_page=5&per_page=100&modified_after=2024-01-02%2003%3A04%3A05", "");
  shop.Post("products/batch", R"({"create":[]})");
  rapidjson::Document log;
  log.Parse(shop.AdminGet("/standin/requests").c_str());
  ASSERT_EQ(log.Size(), 2u);
  EXPECT_STREQ(log[0]["path"].GetString(), "/wp-json/wc/v3/orders");
  ASSERT_EQ(log[0]["query"].Size(), 3u);
  EXPECT_STREQ(log[0]["query"][1][1].GetString(), "100");
  EXPECT_STREQ(log[0]["query"][2][1].GetString(), "2024-01-02 03:04:05");
  EXPECT_EQ(log[0]["status"].GetInt(), 401);
  EXPECT_STREQ(log[1]["method"].GetString(), "POST");
  EXPECT_STREQ(log[1]["body"].GetString(), R"({"create":[]})");
  EXPECT_EQ(std::string(log[1]["authorization"].GetString()).rfind("OAuth ", 0), 0u);

  rapidjson::Document later;
  later.Parse(shop.AdminGet("/standin/requests?after=" + std::to_string(log[0]["seq"].GetInt())).c_str());
  EXPECT_EQ(later.Size(), 1u);
}

TEST(StandinState, SurvivesARestartAndReset) {
  std::string file = (std::filesystem::temp_directory_path() / ("standin-state-" + std::to_string(::getpid()) + ".json")).string();
  std::remove(file.c_str());
  TStandinConfig config = HarnessConfig();
  config.StateFile = file;
  int64_t first = 0;
  {
    TStandinHarness shop(config);
    auto result = shop.Post("products/categories/batch", R"({"create":[{"name":"Tea","lang":"en"}]})");
    first = ParsedBody(result)["create"][0]["id"].GetInt64();
    shop.AdminPost("/standin/orders", R"([{"id": 9, "date_modified_gmt": "2024-03-05T03:00:00"}])");
  }
  {
    TStandinHarness shop(config);
    auto result = shop.Post("products/categories/batch", R"({"create":[{"name":"Tea","lang":"en"},{"name":"Coffee"}]})");
    auto answer = ParsedBody(result);
    EXPECT_EQ(answer["create"][0]["error"]["data"]["resource_id"].GetInt64(), first);
    EXPECT_GT(answer["create"][1]["id"].GetInt64(), first);
    auto orders = ParsedBody(shop.Get("orders", {{"modified_after", "2024-03-05T02:59:59"}}));
    ASSERT_EQ(orders.Size(), 1u);
    EXPECT_STREQ(orders[0]["date_modified_gmt"].GetString(), "2024-03-05T03:00:00");

    shop.AdminPost("/standin/reset", "");
    rapidjson::Document state;
    state.Parse(shop.AdminGet("/standin/state").c_str());
    EXPECT_EQ(state["categories"].Size(), 0u);
    EXPECT_EQ(state["orders"].Size(), 0u);
  }
  std::remove(file.c_str());
}

}  // namespace
}  // namespace ooa::standin::test
