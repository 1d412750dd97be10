// The stand-in's seeded random fault mode: the same seed gives the same faults,
// every injected fault is counted by kind, and stopping it leaves the shop sound.
#include <chrono>
#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "StandinHarness.h"

namespace ooa::standin::test {
namespace {

// What each of n requests to "orders" got: its status, or 0 for no answer.
std::vector<int> Outcomes(TStandinHarness& shop, int n) {
  std::vector<int> got;
  for (int i = 0; i < n; ++i) {
    auto r = shop.Get("orders");
    got.push_back(r ? r->status * 10 + (r->body.rfind("<html>", 0) == 0 ? 1 : 0) : 0);
  }
  return got;
}

TEST(StandinRandomFaults, SameSeedSameFaultsAndEveryOneIsCounted) {
  const std::string mode =
      R"({"seed": 42, "rate": 0.5, "kinds": ["status", "notjson", "drop", "slow"], "statuses": [500, 503, 401],
          "delay_ms": 10})";
  std::vector<int> runs[2];
  for (auto& run : runs) {
    TStandinHarness shop;
    shop.AdminPost("/standin/faults/random", mode);
    run = Outcomes(shop, 60);
    auto state = rapidjson::Document();
    state.Parse(shop.AdminGet("/standin/faults/random").c_str());
    ASSERT_TRUE(state.IsObject());
    EXPECT_TRUE(state["active"].GetBool());
    EXPECT_EQ(state["requests"].GetUint64(), 60u);
    // The counters match what the client saw (a slow answer is still a 200 "[]").
    uint64_t errors = 0, notJson = 0, drops = 0;
    for (int o : run) {
      errors += o == 5000 || o == 5030 || o == 4010;
      notJson += o == 2001;
      drops += o == 0;
    }
    const auto& injected = state["injected"];
    auto count = [&](const char* name) { return injected.HasMember(name) ? injected[name].GetUint64() : 0u; };
    EXPECT_EQ(count("status 500") + count("status 503") + count("status 401"), errors);
    EXPECT_EQ(count("notjson"), notJson);
    EXPECT_EQ(count("drop"), drops);
    EXPECT_GT(errors + notJson + drops, 10u);
    EXPECT_LT(errors + notJson + drops, 50u);

    // Stopped: every request is answered normally again, the counters stay.
    shop.AdminPost("/standin/faults/clear", "");
    EXPECT_EQ(Outcomes(shop, 10), std::vector<int>(10, 2000));
    state.Parse(shop.AdminGet("/standin/faults/random").c_str());
    EXPECT_FALSE(state["active"].GetBool());
    EXPECT_EQ(state["requests"].GetUint64(), 60u);
  }
  EXPECT_EQ(runs[0], runs[1]);
}

TEST(StandinRandomFaults, RouteLimitsTheDrawsAndBadSettingsAreRefused) {
  TStandinHarness shop;
  shop.AdminPost("/standin/faults/random", R"({"rate": 1, "kinds": ["status"], "statuses": [503], "route": "^orders$"})");
  EXPECT_EQ(shop.Get("orders")->status, 503);
  EXPECT_EQ(shop.Post("products/batch", "{}")->status, 200);

  httplib::Client admin(shop.Origin());
  for (const char* bad : {R"({"rate": 2})", R"({"kinds": ["explode"]})", R"({"kinds": []})",
                          R"({"statuses": [42]})", R"({"route": "("})", R"({"seed": -1})", "[1]"}) {
    auto result = admin.Post("/standin/faults/random", bad, "application/json");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400) << bad;
  }
}

// A time-out is a shop that did the work and answered too late: the change is
// in the shop while the answer is still held back, so it can never land after
// a request the client sends once it gave up.
TEST(StandinRandomFaults, TimeOutMakesTheChangeAtOnceAndHoldsTheAnswer) {
  TStandinHarness shop;
  shop.AdminPost("/standin/faults/random",
                 R"({"rate": 1, "kinds": ["timeout"], "timeout_ms": 2000, "route": "^products/batch$"})");
  auto answer = std::async(std::launch::async, [&] {
    return shop.Post("products/batch", R"({"create":[{"name":"Late","sku":"L1"}]})");
  });
  rapidjson::Document state;
  for (int i = 0; i < 150; ++i) {
    state.Parse(shop.AdminGet("/standin/state").c_str());
    if (state["products"].Size() > 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(state["products"].Size(), 1u);
  EXPECT_EQ(answer.wait_for(std::chrono::seconds(0)), std::future_status::timeout) << "answered at once";
  auto result = answer.get();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200) << result->body;
}

}  // namespace
}  // namespace ooa::standin::test
