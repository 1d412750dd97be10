// Crashes: the service is killed with SIGKILL at random moments (fixed seed)
// while it syncs, and started again each time. After every kill the database
// holds whole invoices only and the sync log stands behind every order not
// written; after a few clean passes the end state is the same as without kills.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <iostream>
#include <memory>
#include <thread>

#include "EndState.h"
#include "ProgramRun.h"
#include "ReliabilityReport.h"
#include "ReliabilityWorld.h"

namespace ooa::test {
namespace {

const char* const kSection = "crashes";

TEST(Reliability, KilledPassesLeaveWholeInvoicesOnly) {
  const int kills = Scaled(60, 5);
  const int orders = Scaled(600, 20);  // about as many are made over the runs
  TReliabilityWorld world(7177);
  world.AddProducts(Scaled(400, 40));
  // A first pass uploads the catalogue; a second, with a run's share of new
  // orders to write, shows how long a whole run takes.
  ASSERT_EQ(world.RunPass().Status, 0);
  const int perRun = std::max(2, orders / (2 * kills));
  world.ShopActivity(perRun);
  TPassRun measured = world.RunPass();
  ASSERT_EQ(measured.Status, 0) << measured.Err;
  const int span = std::max(200, static_cast<int>(measured.Seconds * 1200));

  // Half the kills land anywhere in a run, from its start; the other half
  // while the order pass writes invoices. Every run has new orders to write,
  // and every third one refunds and cancellations as well.
  int killed = 0, runs = 0, endedBeforeKill = 0, brokenInvariants = 0, killedWriting = 0;
  while (killed < kills && runs < kills * 4) {
    if (runs % 3 == 0)
      world.ShopActivity(perRun);
    else
      world.ShopActivity(perRun, 0, 0);
    if (runs % 7 == 3) world.ChangeProducts(Scaled(40, 3));
    std::unique_ptr<TProgramRun> run = world.StartPass();
    int at = 0;
    if (runs % 2 == 0) {
      at = std::uniform_int_distribution<int>(10, span)(world.Random());
      std::this_thread::sleep_for(std::chrono::milliseconds(at));
    } else if (run->WaitForOutput("Start Process Orders", 60000)) {
      at = -std::uniform_int_distribution<int>(0, perRun * 30)(world.Random());
      std::this_thread::sleep_for(std::chrono::milliseconds(-at));
    }
    run->Signal(SIGKILL);
    const bool wasKilled = run->Wait(30000) == 128 + SIGKILL;
    ++runs;
    killed += wasKilled;
    endedBeforeKill += !wasKilled;
    killedWriting += wasKilled && run->Stdout().find(" |- Prcessing Order") != std::string::npos;
    const auto problems = InvariantProblems(world);
    brokenInvariants += !problems.empty();
    for (const auto& p : problems)
      ADD_FAILURE() << "after run " << runs << " (killed " << (at < 0 ? -at : at)
                    << (at < 0 ? " ms into the order pass): " : " ms after its start): ") << p;
  }
  EXPECT_GE(killed, kills);

  int cleanPasses = 0, clean = 0;
  while (cleanPasses < 6 && clean < 2) {
    TPassRun run = world.RunPass();
    ++cleanPasses;
    clean = run.Status == 0 ? clean + 1 : clean;
    if (run.Status != 0) std::cout << "clean pass " << cleanPasses << ": " << run.Err << std::endl;
  }
  EXPECT_EQ(clean, 2);
  Report().Add(kSection, "runs started", runs + 3 + cleanPasses);
  Report().Add(kSection, "kills (SIGKILL)", killed);
  Report().Add(kSection, "kills after the order pass began writing invoices", killedWriting);
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
