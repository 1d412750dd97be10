// Two copies of the service on one POS database, each with its own database
// module, controller and scheduler (short intervals, one event loop): the
// copy that started first works; the second says once that another copy is
// working, runs no pass while the first holds the lock (also not while the
// first one's pass still runs after its Stop), and takes over on a tick once
// the first has stopped. Both use the real lock statements on the embedded
// database.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "config/ActivityLog.h"
#include "db/AppLock.h"
#include "db/DatabaseModule.h"
#include "tsql/EmbeddedSession.h"
#include "service/EventLoop.h"
#include "service/ServiceController.h"
#include "support/TempDir.h"

namespace ooa {
namespace {

// One copy's database side: its own connection to the file.
struct TCopyBackend : IServiceBackend {
  explicit TCopyBackend(const std::string& file) {
    Config.ServerName = "(EMBEDDED)";
    Config.DatabaseName = file;
  }
  bool Connected() override { return Db.Connected(); }
  bool ConnectToServer() override { return Db.ConnectToServer(Config); }
  void ReadPrintParams() override {}
  void InitShop() override {}
  bool TakeAppLock() override {
    ++Asks;
    return ooa::TakeAppLock(Db);
  }
  void ReleaseAppLock() override { ooa::ReleaseAppLock(Db); }

  TConfig Config;
  TDatabaseModule Db;
  std::atomic<int> Asks{0};
};

// A pass that counts itself and, while Closed, waits until the test opens.
struct TCountingPass {
  std::atomic<int> Started{0};
  std::mutex Mutex;
  std::condition_variable Cv;
  bool Closed = false;
  void operator()() {
    ++Started;
    std::unique_lock lock(Mutex);
    Cv.wait(lock, [this] { return !Closed; });
  }
  void Open() {
    {
      std::lock_guard lock(Mutex);
      Closed = false;
    }
    Cv.notify_all();
  }
};

int Count(const std::vector<std::string>& lines, const std::string& line) {
  int n = 0;
  for (const auto& l : lines) n += l == line;
  return n;
}

TEST(TwoCopies, TheSecondCopyWaitsOnceAndTakesOverWhenTheFirstHasStopped) {
  test::TTempDir dir;
  const std::string file = dir.File("pos.db");
  CreateEmbeddedSession(file, true)->Open();
  TMemoryLogSink log;
  ActivityLog().SetSink(&log);
  struct TSinkOff {
    ~TSinkOff() { ActivityLog().SetSink(nullptr); }
  } sinkOff;
  TEventLoop loop;
  const TSchedulerIntervals fast{20, 10};

  TCountingPass firstCatalogue, firstOrder, secondCatalogue, secondOrder;
  firstCatalogue.Closed = true;  // the first copy's first pass runs until the test lets it end
  TCopyBackend first(file), second(file);
  TSyncScheduler firstScheduler(loop, std::ref(firstCatalogue), std::ref(firstOrder), fast);
  TSyncScheduler secondScheduler(loop, std::ref(secondCatalogue), std::ref(secondOrder), fast);
  TServiceController firstCopy(first, firstScheduler), secondCopy(second, secondScheduler);
  // A failed check must not leave the pass waiting while the schedulers join it.
  struct TOpenAtEnd {
    TCountingPass& Pass;
    ~TOpenAtEnd() { Pass.Open(); }
  } openAtEnd{firstCatalogue};
  auto secondPasses = [&] { return secondCatalogue.Started + secondOrder.Started; };

  firstCopy.StartService();
  secondCopy.StartService();
  EXPECT_TRUE(secondCopy.Running());
  ASSERT_TRUE(loop.RunUntil(
      [&] { return firstCatalogue.Started == 1 && (second.Asks >= 6 || secondPasses() > 0); }, 10000));
  EXPECT_EQ(secondPasses(), 0);
  EXPECT_EQ(Count(log.Lines(), kAnotherCopyLine), 1);

  // Stopped, the first copy keeps the lock until its running pass has ended.
  firstCopy.StopService();
  int asks = second.Asks;
  ASSERT_TRUE(loop.RunUntil([&] { return second.Asks >= asks + 4; }, 10000));
  EXPECT_EQ(secondPasses(), 0);
  firstCatalogue.Open();
  ASSERT_TRUE(loop.RunUntil([&] { return secondPasses() >= 3; }, 10000));
  EXPECT_EQ(Count(log.Lines(), kAnotherCopyLine), 1);
  EXPECT_TRUE(HoldsAppLock(second.Db));
  EXPECT_FALSE(HoldsAppLock(first.Db));

  // Now the first copy is the one that waits, and says so on its Start.
  firstCopy.StartService();
  asks = first.Asks;
  ASSERT_TRUE(loop.RunUntil([&] { return first.Asks >= asks + 4; }, 10000));
  EXPECT_EQ(firstCatalogue.Started + firstOrder.Started, 1);
  EXPECT_EQ(Count(log.Lines(), kAnotherCopyLine), 2);

  firstCopy.StopService();
  secondCopy.StopService();
  loop.RunUntil([&] { return firstScheduler.RunningPasses() + secondScheduler.RunningPasses() == 0; }, 10000);
}

}  // namespace
}  // namespace ooa
