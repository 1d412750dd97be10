// A fixture for order pass tests against the stand-in shop (real HTTP on
// loopback, OAuth signed) with its admin routes for orders, refunds, the shop
// clock and queued faults: a fresh embedded POS database (TPos: the plain one,
// or one with a suite's helpers), the shop module on both, the till's clock
// fixed at 13:41 local (UTC+10), the shop's at 13:31, and the activity log
// (debug on) in memory. Test thread only.
#pragma once

#include <exception>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <httplib.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "sync/orders/OrderFixture.h"
#include "shop/WooModule.h"
#include "support/FixedClock.h"
#include "support/PosFixture.h"
#include "support/ShopStandin.h"
#include "sync/OrderSync.h"

namespace ooa::test {

template <class TPos>
class TOrderPassFixtureOn : public ::testing::Test {
 protected:
  // The stand-in's clock: orders seeded without a modification time were
  // last modified then (13:31 local); the till's clock is ten minutes later.
  static constexpr const char* kShopNow = "2026-12-08T03:31:00";

  void SetUp() override {
    TConfig config = Pos.Config;
    config.Url = Shop.BaseUrl();
    config.Key = "ck_standin";
    config.Secret = "cs_standin";
    config.Debug = true;
    config.PrinterName = "N/A";
    SetConfig(config);
    Woo.Init(config);
    ActivityLog().SetSink(&Log);
    ShopAt(kShopNow);
  }
  void TearDown() override { ActivityLog().SetSink(nullptr); }

  void AdminPost(const std::string& path, const std::string& body) {
    httplib::Client client(Shop.Origin());
    auto answer = client.Post(path, body, "application/json");
    ASSERT_TRUE(answer) << path;
    ASSERT_LT(answer->status, 300) << path << ": " << answer->body;
  }
  // Sets the shop's clock (UTC, "yyyy-mm-ddThh:mm:ss").
  void ShopAt(const std::string& utc) { AdminPost("/standin/clock", "{\"now\": \"" + utc + "\"}"); }
  // The fixture order under another id and status, modified at the shop's now.
  static std::string ShopOrder(int id, const std::string& status = "processing") {
    return ShopOrderJson(id, status);
  }
  void Seed(const std::vector<std::string>& orders) {
    std::string body = "[";
    for (size_t i = 0; i < orders.size(); ++i) body += (i ? "," : "") + orders[i];
    AdminPost("/standin/orders", body + "]");
  }
  // The next shop request whose resource matches route answers status and body as given.
  void Fault(const std::string& route, int status, const std::string& body) {
    rapidjson::StringBuffer text;
    rapidjson::Writer<rapidjson::StringBuffer> w(text);
    w.StartObject();
    w.Key("route");
    w.String(route.c_str());
    w.Key("kind");
    w.String("status");
    w.Key("status");
    w.Int(status);
    w.Key("body");
    w.String(body.c_str(), static_cast<rapidjson::SizeType>(body.size()));
    w.EndObject();
    AdminPost("/standin/faults", text.GetString());
  }
  // Runs one pass: "" when it ended well, else the error that ended it.
  std::string PassError() {
    try {
      SyncOrders(Woo);
    } catch (const std::exception& e) {
      return e.what();
    }
    return "";
  }
  int64_t Count(const std::string& sql) { return Pos.Value(sql).AsInteger(); }
  bool SyncLogWritten() { return Count("Select Count(*) From OnlineSyncLog") > 0; }

  TFixedClock Clock{TDateTime::FromCivil(2026, 12, 8, 3, 41, 0), kFixtureUtcOffsetMinutes};
  TScopedClock UseClock{Clock};
  TPos Pos;
  TShopStandin Shop;
  TWooModule Woo{Pos.Db};
  TMemoryLogSink Log;
};

using TOrderPassFixture = TOrderPassFixtureOn<TPosFixture>;

}  // namespace ooa::test
