// The scheduler with short intervals on a real event loop and real worker
// threads: no two passes of one kind at once, a throwing pass still re-arms
// its timers, a Stop lets the running pass finish and later ticks stay idle.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "config/ActivityLog.h"
#include "service/EventLoop.h"
#include "service/SyncScheduler.h"

namespace ooa {
namespace {

using namespace std::chrono_literals;

// Counts the calls of one pass and the largest number of them at once.
struct TPassProbe {
  std::atomic<int> Started{0};
  std::atomic<int> Finished{0};
  std::atomic<int> Inside{0};
  std::atomic<int> MostInside{0};
  std::chrono::milliseconds Work{0};
  bool Throws = false;

  void operator()() {
    ++Started;
    int now = ++Inside;
    int most = MostInside.load();
    while (now > most && !MostInside.compare_exchange_weak(most, now)) {}
    std::this_thread::sleep_for(Work);
    --Inside;
    ++Finished;
    if (Throws) throw std::runtime_error("the shop answered nonsense");
  }
};

// A door the pass waits at until the test opens it.
struct TGate {
  std::mutex Mutex;
  std::condition_variable Cv;
  bool Open = false;
  void Wait() {
    std::unique_lock lock(Mutex);
    Cv.wait(lock, [this] { return Open; });
  }
  void Release() {
    {
      std::lock_guard lock(Mutex);
      Open = true;
    }
    Cv.notify_all();
  }
};

struct SchedulerTest : ::testing::Test {
  TEventLoop Loop;
  TPassProbe Catalogue, Order;

  std::unique_ptr<TSyncScheduler> Make(TSyncScheduler::TPass catalogue, TSyncScheduler::TPass order,
                                       int catalogueMs = 40, int orderMs = 15) {
    return std::make_unique<TSyncScheduler>(Loop, std::move(catalogue), std::move(order),
                                            TSchedulerIntervals{catalogueMs, orderMs});
  }
  void Start(TSyncScheduler& s) {
    s.SetTimerEnabled(TPassKind::Catalogue, true);
    s.SetServiceRunning(true);
  }
  void Stop(TSyncScheduler& s) {
    s.SetTimerEnabled(TPassKind::Order, false);
    s.SetTimerEnabled(TPassKind::Catalogue, false);
    s.SetServiceRunning(false);
  }
};

TEST_F(SchedulerTest, OrderPassesFollowTheFirstCatalogueEndAndNeverOverlap) {
  // Order passes take longer than both intervals, so the end of every
  // catalogue pass re-arms the order timer while an order pass still runs.
  Order.Work = 60ms;
  Catalogue.Work = 5ms;
  std::atomic<int> catalogueDoneAtFirstOrder{-1};
  auto s = Make([&] { Catalogue(); },
                [&] {
                  int expected = -1;
                  catalogueDoneAtFirstOrder.compare_exchange_strong(expected, Catalogue.Finished.load());
                  Order();
                });
  Start(*s);
  EXPECT_TRUE(Loop.RunUntil([&] { return Order.Finished >= 4 && Catalogue.Finished >= 4; }, 10000));
  EXPECT_GE(catalogueDoneAtFirstOrder.load(), 1);
  EXPECT_EQ(Order.MostInside.load(), 1);
  EXPECT_EQ(Catalogue.MostInside.load(), 1);
  Stop(*s);
  EXPECT_TRUE(Loop.RunUntil([&] { return s->RunningPasses() == 0; }, 5000));
}

TEST_F(SchedulerTest, StartAfterStopDoesNotStartASecondCataloguePass) {
  TGate gate;
  std::atomic<int> started{0};
  auto s = Make([&] { ++started; gate.Wait(); }, [&] { Order(); });
  Start(*s);
  ASSERT_TRUE(Loop.RunUntil([&] { return started == 1; }, 5000));

  Stop(*s);
  Start(*s);
  // Several catalogue intervals pass while the old pass still runs.
  Loop.RunUntil([] { return false; }, 200);
  EXPECT_EQ(started.load(), 1);
  EXPECT_TRUE(s->PassRunning(TPassKind::Catalogue));

  gate.Release();
  EXPECT_TRUE(Loop.RunUntil([&] { return started >= 2; }, 5000));
  EXPECT_TRUE(Loop.RunUntil([&] { return Order.Finished >= 1; }, 5000));
  Stop(*s);
  EXPECT_TRUE(Loop.RunUntil([&] { return s->RunningPasses() == 0; }, 5000));
}

TEST_F(SchedulerTest, APassThatThrowsStillReArmsBothTimers) {
  Catalogue.Throws = true;
  auto s = Make([&] { Catalogue(); }, [&] { Order(); });
  Start(*s);
  EXPECT_TRUE(Loop.RunUntil([&] { return Catalogue.Finished >= 3 && Order.Finished >= 2; }, 10000));

  Order.Throws = true;
  int before = Order.Finished;
  EXPECT_TRUE(Loop.RunUntil([&] { return Order.Finished >= before + 3; }, 10000));
  Stop(*s);
  EXPECT_TRUE(Loop.RunUntil([&] { return s->RunningPasses() == 0; }, 5000));
}

TEST_F(SchedulerTest, StopLetsTheRunningPassFinishAndLaterTicksStayIdle) {
  TGate gate;
  std::atomic<int> calls{0};
  std::atomic<bool> finished{false};
  auto s = Make([&] { ++calls; gate.Wait(); finished = true; }, [&] { Order(); });
  Start(*s);
  ASSERT_TRUE(Loop.RunUntil([&] { return calls == 1; }, 5000));

  Stop(*s);
  gate.Release();
  ASSERT_TRUE(Loop.RunUntil([&] { return s->RunningPasses() == 0; }, 5000));
  EXPECT_TRUE(finished.load());
  // The pass's end re-armed the timers; their ticks find the flag clear.
  EXPECT_TRUE(s->TimerEnabled(TPassKind::Catalogue));
  Loop.RunUntil([] { return false; }, 250);
  EXPECT_EQ(calls.load(), 1);
  EXPECT_EQ(Order.Started.load(), 0);

  // The next start makes the ticks run passes again.
  s->SetServiceRunning(true);
  EXPECT_TRUE(Loop.RunUntil([&] { return calls >= 2; }, 5000));
  Stop(*s);
  EXPECT_TRUE(Loop.RunUntil([&] { return s->RunningPasses() == 0; }, 5000));
}

TEST_F(SchedulerTest, ShutdownWaitsForTheRunningPassAndStartsNoOther) {
  TGate gate;
  std::atomic<int> calls{0};
  auto s = Make([&] { ++calls; gate.Wait(); }, [&] { Order(); });
  Start(*s);
  ASSERT_TRUE(Loop.RunUntil([&] { return calls == 1; }, 5000));

  bool idle = false;
  s->Shutdown([&] { idle = true; });
  Loop.RunUntil([] { return false; }, 100);
  EXPECT_FALSE(idle);
  gate.Release();
  EXPECT_TRUE(Loop.RunUntil([&] { return idle; }, 5000));
  Loop.RunUntil([] { return false; }, 150);
  EXPECT_EQ(calls.load(), 1);
  EXPECT_EQ(Order.Started.load(), 0);
}

TEST_F(SchedulerTest, RunPassNowReportsTheErrorAndRefusesWhenStopped) {
  Order.Throws = true;
  auto s = Make([&] { Catalogue(); }, [&] { Order(); });
  std::string error;
  EXPECT_FALSE(s->RunPassNow(TPassKind::Catalogue, error));
  EXPECT_EQ(Catalogue.Started.load(), 0);

  s->SetServiceRunning(true);
  EXPECT_TRUE(s->RunPassNow(TPassKind::Catalogue, error));
  EXPECT_FALSE(s->RunPassNow(TPassKind::Order, error));
  EXPECT_EQ(error, "the shop answered nonsense");
  EXPECT_EQ(s->RunningPasses(), 0);
}

// A failed pass says why in the status lines (debug or not); the same reason
// again is not repeated until a pass of that kind has succeeded.
TEST_F(SchedulerTest, AFailedPassWritesItsReasonAsAStatusLineOnce) {
  TMemoryLogSink log;
  ActivityLog().SetSink(&log);
  auto s = Make([&] { Catalogue(); }, [&] { Order(); });
  s->SetServiceRunning(true);
  std::string error;
  Order.Throws = true;
  s->RunPassNow(TPassKind::Order, error);
  s->RunPassNow(TPassKind::Order, error);
  Order.Throws = false;
  s->RunPassNow(TPassKind::Order, error);
  Order.Throws = true;
  s->RunPassNow(TPassKind::Order, error);
  ActivityLog().SetSink(nullptr);
  const std::vector<std::string> expected(2, "The order pass failed: the shop answered nonsense");
  EXPECT_EQ(log.Lines(), expected);
}

}  // namespace
}  // namespace ooa
