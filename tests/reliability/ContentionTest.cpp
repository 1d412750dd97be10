// Database contention: another session holds the lock on the POS table Version
// (an open transaction that updated it) while the service writes orders. Held
// briefly, the invoice batches wait for it; held longer than the POS waits,
// a batch fails cleanly (nothing of it written, the sync log held back) and a
// later pass writes the order, once.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "EndState.h"
#include "ProgramRun.h"
#include "ReliabilityReport.h"
#include "ReliabilityWorld.h"

namespace ooa::test {
namespace {

const char* const kSection = "database contention";

// Another session on the POS file: updates Version in an open transaction and
// commits after holdMs. Returns once the lock is taken.
class TVersionLock {
 public:
  TVersionLock(const std::string& file, int holdMs) {
    std::promise<bool> taken;
    auto ready = taken.get_future();
    Holder = std::thread([file, holdMs, &taken] {
      sqlite3* db = nullptr;
      bool ok = sqlite3_open(file.c_str(), &db) == SQLITE_OK;
      sqlite3_busy_timeout(db, 10000);
      ok = ok && sqlite3_exec(db, "BEGIN IMMEDIATE; UPDATE Version SET version = version;", nullptr, nullptr,
                              nullptr) == SQLITE_OK;
      taken.set_value(ok);
      if (ok) {
        std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
      }
      sqlite3_close(db);
    });
    Taken = ready.get();
  }
  ~TVersionLock() { Holder.join(); }
  bool Taken = false;

 private:
  std::thread Holder;
};

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(Reliability, ALockedVersionTableMakesBatchesWaitOrFailCleanly) {
  TReliabilityWorld world(31337);
  world.AddProducts(30);
  ASSERT_EQ(world.RunPass().Status, 0);  // the catalogue is in the shop

  struct TCase {
    const char* Name;
    int HoldMs;
  } cases[] = {
      {"held 3 s: the batches wait", 3000},
      {"held 33 s, longer than the POS waits: a batch fails and a later pass writes it", 33000},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    world.ShopActivity(5, 0, 0);
    // The shop answers the order list a second late; the lock is taken while
    // the pass waits for it, so the first write it meets is an order's.
    world.AdminPost("/standin/faults", R"({"route": "^orders$", "kind": "delay", "delay_ms": 1000})");
    auto run = world.StartPass();
    ASSERT_TRUE(run->WaitForOutput("Start Sync orders...", 60000)) << run->Stdout() << run->Stderr();
    auto lock = std::make_unique<TVersionLock>(world.DbFile(), c.HoldMs);
    ASSERT_TRUE(lock->Taken);
    // A batch that failed fails the pass too, once it has stored its sync time.
    EXPECT_EQ(run->Wait(120000), c.HoldMs < 30000 ? 0 : 1) << run->Stderr();
    lock.reset();
    const std::string out = run->Stdout();
    const int failed = Count(out, " Failed");
    Report().Add(kSection, std::string("order batches that failed, lock ") + (c.HoldMs > 30000 ? "33 s" : "3 s"),
                 failed);
    if (c.HoldMs < 30000) {
      EXPECT_EQ(failed, 0) << out;
    } else {
      EXPECT_GE(failed, 1) << "the long lock made no batch fail:\n" << out;
    }
    const auto problems = InvariantProblems(world);
    for (const auto& p : problems) ADD_FAILURE() << p;
  }
  // A later pass writes what failed.
  EXPECT_EQ(world.RunPass().Status, 0);
  Report().Add(kSection, "orders made at the shop", static_cast<int64_t>(world.Orders.size()));
  // The till marks the stock its sales changed; one more pass sends it.
  world.MarkStockChanged();
  EXPECT_EQ(world.RunPass().Status, 0);
  CheckEndState(world, kSection);
}

}  // namespace
}  // namespace ooa::test
