// The shop module's two channels against the stand-in shop, which verifies
// OAuth signatures the way the shop does: signed requests pass, a wrong
// secret and a replayed nonce are refused with the shop's 401 answer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "db/DatabaseModule.h"
#include "shop/WooModule.h"
#include "shop/rest/ChannelLoopback.h"
#include "support/ShopStandin.h"

namespace ooa {
namespace {

using test::TChannelLogCapture;
using test::TShopStandin;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using test::MatchesRegex;

// Passes requests through, or sends the previous request again word for word
// (same nonce, timestamp and signature) when Replay is set.
class TReplayTransport : public IHttpTransport {
 public:
  bool Replay = false;
  THttpResponse Send(const THttpRequest& request) override {
    if (!Replay) Last = request;
    return Inner->Send(Replay ? Last : request);
  }

 private:
  std::unique_ptr<IHttpTransport> Inner = CreateHttpTransport();
  THttpRequest Last;
};

TEST(RestChannelStandin, BothChannelsSendSignedRequestsAfterInit) {
  TShopStandin shop;
  TDatabaseModule db;
  TWooModule module(db);
  TConfig config;
  config.Url = shop.BaseUrl();
  config.Key = "ck_standin";
  config.Secret = "cs_standin";
  module.Init(config);
  TChannelLogCapture log;

  TRestChannel& catalogue = module.Channel1();
  catalogue.SetResource("products/categories/batch");
  catalogue.SetMethod("POST");
  catalogue.ClearBody();
  catalogue.AddJsonBody(R"({"create":[{"name":"Green tea","parent":0}]})");
  catalogue.Execute();
  ASSERT_EQ(catalogue.StatusCode(), 200) << catalogue.Content();
  const rapidjson::Document* created = catalogue.JsonValue();
  ASSERT_NE(created, nullptr);
  ASSERT_TRUE(created->HasMember("create")) << catalogue.Content();
  EXPECT_TRUE((*created)["create"][0].HasMember("id")) << catalogue.Content();

  // Query parameters are part of the signature the shop checks.
  TRestChannel& orders = module.Channel2();
  orders.SetResource("orders");
  orders.SetMethod("GET");
  orders.AddParameter("per_page", "5");
  orders.AddParameter("modified_after", "2024-01-02 03:04:05");
  orders.AddParameter("dates_are_gmt", "1");
  orders.Execute();
  orders.AddParameter("per_page", "100");
  orders.Execute();
  ASSERT_EQ(orders.StatusCode(), 200) << orders.Content();
  ASSERT_NE(orders.JsonValue(), nullptr);
  EXPECT_TRUE(orders.JsonValue()->IsArray());
  EXPECT_EQ(orders.ResponseHeader("X-WP-Total"), "0");

  EXPECT_THAT(log.Lines(),
              ElementsAre(MatchesRegex("^URI: http://127\\.0\\.0\\.1:[0-9]+/wp-json/wc/v3/products/categories/batch"
                                       " Execution time: [0-9]+ms$"),
                          "products/categories/batch",
                          MatchesRegex("^URI: .*/orders\\?per_page=5&modified_after=2024-01-02%2003%3A04%3A05&"
                                       "dates_are_gmt=1 Execution time: [0-9]+ms$"),
                          "orders",
                          MatchesRegex("^URI: .*/orders\\?modified_after=.*&dates_are_gmt=1&per_page=100 "
                                       "Execution time: [0-9]+ms$"),
                          "orders"));
}

TEST(RestChannelStandin, WrongSecretIsAnsweredWithTheShops401) {
  TShopStandin shop;
  TChannelLogCapture log;
  TRestChannel channel(CreateHttpTransport());
  channel.SetCredentials(shop.BaseUrl(), "ck_standin", "not-the-secret");
  channel.SetResource("orders");
  channel.AddParameter("per_page", "100");
  ASSERT_NO_THROW(channel.Execute());

  EXPECT_EQ(channel.StatusCode(), 401);
  EXPECT_EQ(channel.StatusText(), "Unauthorized");
  const rapidjson::Document* error = channel.JsonValue();
  ASSERT_NE(error, nullptr);
  EXPECT_STREQ((*error)["code"].GetString(), "woocommerce_rest_authentication_error");
  EXPECT_STREQ((*error)["message"].GetString(), "Invalid signature - provided signature does not match.");
  EXPECT_THAT(log.Lines(),
              ElementsAre("Unauthorized", channel.Content(),
                          MatchesRegex("^URI: .*/wp-json/wc/v3/orders\\?per_page=100 Execution time: [0-9]+ms$"),
                          "orders"));
  for (const auto& line : log.Lines()) EXPECT_THAT(line, ::testing::Not(HasSubstr("not-the-secret")));
}

TEST(RestChannelStandin, ReplayedNonceIsRefused) {
  TShopStandin shop;
  auto transport = std::make_unique<TReplayTransport>();
  TReplayTransport& replay = *transport;
  TRestChannel channel(std::move(transport));
  channel.SetCredentials(shop.BaseUrl(), "ck_standin", "cs_standin");
  channel.SetResource("orders");
  channel.Execute();
  ASSERT_EQ(channel.StatusCode(), 200) << channel.Content();

  replay.Replay = true;
  channel.Execute();
  EXPECT_EQ(channel.StatusCode(), 401);
  EXPECT_THAT(channel.Content(), AllOf(HasSubstr("woocommerce_rest_authentication_error"),
                                       HasSubstr("Invalid nonce - nonce has already been used.")));

  replay.Replay = false;  // a fresh nonce passes again
  channel.Execute();
  EXPECT_EQ(channel.StatusCode(), 200) << channel.Content();
}

// Work handed to SetOnSent runs once for its request: as soon as the request
// has left, while the shop still holds the answer, and also when the request
// fails; the request after it runs none.
TEST(RestChannelStandin, OnSentWorkRunsOnceWhileTheShopHoldsTheAnswer) {
  TShopStandin shop;
  const auto fault = [&](const std::string& body) {
    THttpRequest request{"POST", shop.Origin() + "/standin/faults", {{"Content-Type", "application/json"}}, body};
    ASSERT_EQ(CreateHttpTransport()->Send(request).Status, 200);
  };
  TRestChannel channel(CreateHttpTransport());
  channel.SetCredentials(shop.BaseUrl(), "ck_standin", "cs_standin");
  channel.SetResource("products/categories/batch");
  channel.SetMethod("POST");
  channel.AddJsonBody(R"({"create":[{"name":"Green tea","parent":0}]})");
  using TClock = std::chrono::steady_clock;
  int runs = 0;
  TClock::time_point ranAt;
  const auto work = [&] {
    ++runs;
    ranAt = TClock::now();
  };

  fault(R"({"route": "categories/batch", "kind": "delay", "delay_ms": 1500})");
  channel.SetOnSent(work);
  channel.Execute();
  EXPECT_EQ(channel.StatusCode(), 200) << channel.Content();
  EXPECT_EQ(runs, 1);
  EXPECT_GE(TClock::now() - ranAt, std::chrono::milliseconds(1000));  // long before the answer came

  fault(R"({"route": "categories/batch", "kind": "drop"})");
  channel.SetOnSent(work);
  EXPECT_THROW(channel.Execute(), TRestError);
  EXPECT_EQ(runs, 2);

  channel.Execute();
  EXPECT_EQ(channel.StatusCode(), 200) << channel.Content();
  EXPECT_EQ(runs, 2);
}

}  // namespace
}  // namespace ooa
