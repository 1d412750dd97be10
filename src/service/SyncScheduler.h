// TSyncScheduler: the two sync timers and their worker threads.
//
// The catalogue timer (25312 ms) and the order timer (10237 ms) live on the
// controlling thread. A tick switches its timer off (the catalogue tick both
// timers) and starts one worker thread that runs one pass, provided no pass
// of that kind is still running; otherwise the tick does nothing and the
// running pass re-arms the timer when it ends. A worker reads the
// service-running flag once, asks the pass gate (the POS database's lock, see
// SetPassGate), runs its pass unless either says no, catches any error of the
// pass (its reason becomes a status line), and hands the re-arming (catalogue: both timers,
// order: the order timer) back to the controlling thread.
//
// Threads: every method except PassRunning/RunningPasses/ServiceRunning/
// SetServiceRunning runs on the controlling thread. The pass functions run on
// worker threads (or on the caller's thread for RunPassNow).
// Lifetime: the scheduler must outlive its workers. The destructor waits for
// running workers; a program that must not wait ends the process instead
// (see RunningPasses).
#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "service/ControlThread.h"

namespace ooa {

enum class TPassKind { Catalogue = 0, Order = 1 };

struct TSchedulerIntervals {
  int CatalogueMs = 25312;  // ProductSyncTimer
  int OrderMs = 10237;      // OrderSyncTimer
};

class TSyncScheduler {
 public:
  using TPass = std::function<void()>;

  // control is not owned and must outlive the scheduler.
  TSyncScheduler(IControlThread& control, TPass catalogue, TPass order, TSchedulerIntervals intervals = {});
  ~TSyncScheduler();
  TSyncScheduler(const TSyncScheduler&) = delete;
  TSyncScheduler& operator=(const TSyncScheduler&) = delete;

  // Switches a timer on or off. Switching on a timer that is on changes
  // nothing; switching it on from off starts a full interval.
  void SetTimerEnabled(TPassKind kind, bool enabled);
  bool TimerEnabled(TPassKind kind) const;

  // The service-running flag, read once by each worker when its pass starts.
  void SetServiceRunning(bool running);  // any thread
  bool ServiceRunning() const;           // any thread

  // What every pass asks before it runs, after the service-running flag:
  // Enter false (with the reason, or throwing) starts no pass; Leave follows
  // every Enter that said true, once the pass has ended. Set before the first
  // pass; called on the pass's thread.
  struct TPassGate {
    std::function<bool(std::string& why)> Enter;
    std::function<void()> Leave;
  };
  void SetPassGate(TPassGate gate);

  bool PassRunning(TPassKind kind) const;  // any thread
  int RunningPasses() const;               // any thread

  // Runs one pass of the kind on the calling thread now, under the same rules
  // as a worker (flag, one pass of a kind at a time), without touching the
  // timers. True when the pass ran to its end; otherwise error says why.
  bool RunPassNow(TPassKind kind, std::string& error);

  // From now on no tick starts a worker. onIdle runs on the controlling thread
  // once no pass is running (at once when none is).
  void Shutdown(std::function<void()> onIdle);

 private:
  struct TTimer {
    bool Enabled = false;
    unsigned Generation = 0;  // a tick of an older generation is stale
  };
  struct TWorker {
    TPassKind Kind;
    std::thread Thread;
  };

  void Tick(TPassKind kind, unsigned generation);
  void StartWorker(TPassKind kind);
  void WorkerMain(TPassKind kind);
  void WorkerEnded(std::thread::id id, TPassKind kind);
  // Runs the pass when the service runs; false with the reason otherwise.
  // A pass that fails writes "The <kind> pass failed: <reason>" as a status
  // line, unless its last pass failed for the same reason.
  bool RunGuarded(TPassKind kind, std::string& error);
  bool TryClaim(TPassKind kind);
  void Release(TPassKind kind);

  IControlThread& Control;
  TPass Passes[2];
  TPassGate Gate;
  int IntervalMs[2];
  TTimer Timers[2];
  std::atomic<bool> Running{false};
  std::atomic<bool> Busy[2] = {false, false};
  std::atomic<int> Active{0};
  std::mutex FailureMutex;
  std::string LastFailure[2];  // the reason the last pass of each kind failed; "" after a success
  std::list<TWorker> Workers;  // controlling thread only
  bool ShuttingDown = false;
  std::function<void()> OnIdle;
  // Tasks posted to the controlling thread check this before touching the
  // scheduler, so a late timer or hand-over after destruction does nothing.
  std::shared_ptr<bool> Alive = std::make_shared<bool>(true);
};

}  // namespace ooa
