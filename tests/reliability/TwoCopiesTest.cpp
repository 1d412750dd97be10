// Two copies of the service on one POS database (a headless service and a
// desktop copy, or two tills), started together again and again while the
// shop takes orders, refunds and cancellations, and one or the other killed
// at random: every order is written once, every refund and cancellation
// booked once, and the stock is exact. Only one copy works at a time; the
// other says so and starts no pass.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <thread>

#include "EndState.h"
#include "ProgramRun.h"
#include "ReliabilityReport.h"
#include "ReliabilityWorld.h"

namespace ooa::test {
namespace {

const char* const kSection = "two copies";
const char* const kAnotherCopy = "Another copy of the service is working on this POS database.";

TEST(Reliability, TwoCopiesOnOneDatabaseBookEverythingOnce) {
  const int rounds = Scaled(30, 4);
  TReliabilityWorld world(9091);
  world.AddProducts(Scaled(200, 30));
  ASSERT_EQ(world.RunPass().Status, 0);

  int kills = 0, copiesThatWaited = 0, brokenInvariants = 0, foundWritten = 0;
  for (int round = 0; round < rounds; ++round) {
    world.ShopActivity(Scaled(20, 4), round % 2 ? 0.05 : 0, round % 2 ? 0.1 : 0);
    std::unique_ptr<TProgramRun> copies[2] = {world.StartPass(0), world.StartPass(1)};
    // Two rounds in three, the copy that writes invoices is killed a random
    // moment after its order pass began.
    if (round % 3 != 2) {
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      int writing = -1;
      while (writing < 0 && std::chrono::steady_clock::now() < until) {
        for (int k = 0; k < 2 && writing < 0; ++k)
          if (copies[k]->Stdout().find("Start Process Orders") != std::string::npos) writing = k;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      if (writing >= 0) {
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 30)(world.Random())));
        copies[writing]->Signal(SIGKILL);
      }
    }
    for (auto& copy : copies) {
      const int status = copy->Wait(240000);
      if (status == -1) {
        copy->Signal(SIGKILL);
        copy->Wait(10000);
        ADD_FAILURE() << "round " << round << ": a copy did not end within 240 s";
      }
      kills += status == 128 + SIGKILL;
      const std::string out = copy->Stdout();
      copiesThatWaited += out.find(kAnotherCopy) != std::string::npos;
      for (size_t at = out.find(" |- Already written: "); at != std::string::npos;
           at = out.find(" |- Already written: ", at + 1))
        ++foundWritten;
    }
    const auto problems = InvariantProblems(world);
    brokenInvariants += !problems.empty();
    for (const auto& p : problems) ADD_FAILURE() << "after round " << round << ": " << p;
  }
  // The copies met: one of them waited for the other at least once.
  EXPECT_GT(copiesThatWaited, 0);

  int clean = 0;
  for (int pass = 0; pass < 6 && clean < 2; ++pass) clean = world.RunPass().Status == 0 ? clean + 1 : clean;
  EXPECT_EQ(clean, 2);
  Report().Add(kSection, "rounds of two copies started together", rounds);
  Report().Add(kSection, "copies killed (SIGKILL)", kills);
  Report().Add(kSection, "copies that found the other working", copiesThatWaited);
  Report().Add(kSection, "documents a batch found written by the other copy", foundWritten);
  Report().Add(kSection, "rounds after which an invariant was broken", brokenInvariants);
  world.MarkStockChanged();
  EXPECT_EQ(world.RunPass().Status, 0);
  CheckEndState(world, kSection);
}

}  // namespace
}  // namespace ooa::test
