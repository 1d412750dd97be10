// Crashes: the service is killed with SIGKILL at random moments (fixed seed)
// while it syncs, and started again each time. After every kill the database
// holds whole invoices only and the sync log stands behind every order not
// written; after a few clean passes the end state is the same as without kills.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "EndState.h"
#include "ReliabilityReport.h"
#include "ReliabilityWorld.h"

namespace ooa::test {
namespace {

const char* const kSection = "crashes";

TEST(Reliability, KilledPassesLeaveWholeInvoicesOnly) {
  const int kills = Scaled(60, 5), orders = Scaled(600, 20);
  TReliabilityWorld world(7177);
  world.AddProducts(Scaled(400, 40));
  // A first pass uploads the catalogue and shows how long a pass with work takes.
  world.ShopActivity(orders / 10);
  TPassRun first = world.RunPass();
  ASSERT_EQ(first.Status, 0) << first.Err;
  const int span = std::max(400, static_cast<int>(first.Seconds * 1000 * 1.2));

  int killed = 0, runs = 0, endedBeforeKill = 0, brokenInvariants = 0;
  const int waves = std::max(1, kills / 3);
  int made = orders / 10;
  while (killed < kills && runs < kills * 3) {
    // New orders, refunds and cancellations every third run, so that most
    // kills land in a pass that has orders to write.
    if (runs % 3 == 0 && made < orders) {
      const int wave = std::min(orders - made, std::max(1, (orders - orders / 10) / waves));
      world.ShopActivity(wave);
      made += wave;
    }
    if (runs % 7 == 3) world.ChangeProducts(Scaled(40, 3));
    const int at = std::uniform_int_distribution<int>(20, span)(world.Random());
    TPassRun run = world.RunPass(at);
    ++runs;
    killed += run.Killed;
    endedBeforeKill += !run.Killed;
    const auto problems = InvariantProblems(world);
    brokenInvariants += !problems.empty();
    for (const auto& p : problems) ADD_FAILURE() << "after run " << runs << " (kill at " << at << " ms): " << p;
  }
  EXPECT_GE(killed, kills);
  if (made < orders) world.ShopActivity(orders - made);

  int cleanPasses = 0, clean = 0;
  while (cleanPasses < 6 && clean < 2) {
    TPassRun run = world.RunPass();
    ++cleanPasses;
    clean = run.Status == 0 ? clean + 1 : clean;
    if (run.Status != 0) std::cout << "clean pass " << cleanPasses << ": " << run.Err << std::endl;
  }
  EXPECT_EQ(clean, 2);
  Report().Add(kSection, "runs started", runs + 1 + cleanPasses);
  Report().Add(kSection, "kills (SIGKILL)", killed);
  Report().Add(kSection, "runs that ended before their kill", endedBeforeKill);
  Report().Add(kSection, "kills after which an invariant was broken", brokenInvariants);
  Report().Add(kSection, "orders made at the shop", static_cast<int64_t>(world.Orders.size()));
  Report().Add(kSection, "refunds made at the shop", world.RefundCount);
  Report().Add(kSection, "cancellations made at the shop", world.Cancellations);
  // The till marks the stock its sales changed; one more pass sends it.
  world.MarkStockChanged();
  EXPECT_EQ(world.RunPass().Status, 0);
  CheckEndState(world, kSection);
}

}  // namespace
}  // namespace ooa::test
