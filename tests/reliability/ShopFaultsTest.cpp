// Shop faults: the stand-in answers at random (fixed seed) with 500, 503 and
// 401, time-outs, bodies that are not JSON, dropped connections and slow
// answers on every route while orders (with refunds and cancellations) and a
// large catalogue with changes are synced over many passes. After the faults
// stop and a few clean passes, nothing is lost and nothing is doubled.
#include <gtest/gtest.h>

#include <iostream>

#include "EndState.h"
#include "ReliabilityReport.h"
#include "ReliabilityWorld.h"

namespace ooa::test {
namespace {

const char* const kSection = "shop faults";

TEST(Reliability, ShopFaultsLoseAndDoubleNothing) {
  const int orders = Scaled(1000, 20), products = Scaled(5000, 50), faultyPasses = Scaled(40, 4);
  TReliabilityWorld world(20261210);
  world.AddProducts(products);
  world.AdminPost("/standin/faults/random",
                  R"({"seed": 4242, "rate": 0.06, "kinds": ["status", "timeout", "notjson", "drop", "slow"],)"
                  R"( "statuses": [500, 503, 401], "delay_ms": 300, "timeout_ms": 2500})");

  int failedPasses = 0, brokenInvariants = 0;
  for (int pass = 1; pass <= faultyPasses; ++pass) {
    const int wave = orders * pass / faultyPasses - orders * (pass - 1) / faultyPasses;
    world.ShopActivity(wave);
    if (pass % 3 == 0) world.ChangeProducts(Scaled(100, 5));
    if (pass % 4 == 0) world.MarkStockChanged(Scaled(100, 5));
    TPassRun run = world.RunPass();
    failedPasses += run.Status != 0;
    std::cout << "faulty pass " << pass << ": status " << run.Status << ", " << run.Seconds << " s" << std::endl;
    const auto problems = InvariantProblems(world);
    brokenInvariants += !problems.empty();
    for (const auto& p : problems) ADD_FAILURE() << "after faulty pass " << pass << ": " << p;
    if (!problems.empty() && brokenInvariants == 1) std::cout << "the pass's log:\n" << run.Out << run.Err << std::endl;
  }
  world.AdminDelete("/standin/faults/random");
  rapidjson::Document faults;
  faults.Parse(world.AdminGet("/standin/faults/random").c_str());
  int64_t injected = 0;
  for (const auto& [kind, count] : faults["injected"].GetObject()) {
    Report().Add(kSection, std::string("faults injected: ") + kind.GetString(), count.GetInt64());
    injected += count.GetInt64();
  }
  Report().Add(kSection, "shop requests drawn for faults", faults["requests"].GetInt64());
  EXPECT_GT(injected, 0);

  // Clean passes until one runs through, then two more.
  int cleanPasses = 0, clean = 0;
  while (cleanPasses < 8 && clean < 3) {
    TPassRun run = world.RunPass();
    ++cleanPasses;
    clean = run.Status == 0 ? clean + 1 : clean;
    std::cout << "clean pass " << cleanPasses << ": status " << run.Status << ", " << run.Seconds << " s" << std::endl;
    if (run.Status != 0) std::cout << run.Err << std::endl;
  }
  EXPECT_EQ(clean, 3) << "the clean passes kept failing";
  Report().Add(kSection, "passes with faults", faultyPasses);
  Report().Add(kSection, "passes with faults that failed", failedPasses);
  Report().Add(kSection, "passes after the faults stopped", cleanPasses);
  Report().Add(kSection, "passes after which an invariant was broken", brokenInvariants);
  Report().Add(kSection, "orders made at the shop", static_cast<int64_t>(world.Orders.size()));
  Report().Add(kSection, "refunds made at the shop", world.RefundCount);
  Report().Add(kSection, "cancellations made at the shop", world.Cancellations);
  Report().Add(kSection, "products in the catalogue", static_cast<int64_t>(world.Products.size()));
  // The till marks the stock its sales changed; one more pass sends it.
  world.MarkStockChanged();
  EXPECT_EQ(world.RunPass().Status, 0);
  CheckEndState(world, kSection);
}

// The suite's time-outs cost what OOA_SHOP_TIMEOUT_MS says: a shop that keeps
// the order list waiting ends the order pass after 1.5 s, not 30.
TEST(Reliability, ShopTimeOutIsTheConfiguredOne) {
  TReliabilityWorld world(1);
  world.AddProducts(5);
  ASSERT_EQ(world.RunPass().Status, 0);
  world.ShopActivity(2, 0, 0);
  world.AdminPost("/standin/faults", R"({"route": "^orders$", "kind": "delay", "delay_ms": 20000})");
  TPassRun run = world.RunPass();
  EXPECT_NE(run.Status, 0);
  EXPECT_NE(run.Err.find("timed out after 1500 milliseconds"), std::string::npos) << run.Err;
  EXPECT_TRUE(InvariantProblems(world).empty());
  EXPECT_EQ(world.RunPass().Status, 0);  // the next pass writes the orders
  EXPECT_EQ(world.Query("Select InvoiceNo From InvoiceHead").Values.size(), 2u);
}

}  // namespace
}  // namespace ooa::test
