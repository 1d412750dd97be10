#include "service/SyncScheduler.h"

#include <exception>

#include "config/ActivityLog.h"

namespace ooa {

namespace {
int Index(TPassKind kind) { return static_cast<int>(kind); }
}  // namespace

TSyncScheduler::TSyncScheduler(IControlThread& control, TPass catalogue, TPass order, TSchedulerIntervals intervals)
    : Control(control),
      Passes{std::move(catalogue), std::move(order)},
      IntervalMs{intervals.CatalogueMs, intervals.OrderMs} {}

TSyncScheduler::~TSyncScheduler() {
  *Alive = false;
  for (auto& w : Workers)
    if (w.Thread.joinable()) w.Thread.join();
}

void TSyncScheduler::SetTimerEnabled(TPassKind kind, bool enabled) {
  TTimer& t = Timers[Index(kind)];
  if (t.Enabled == enabled) return;
  t.Enabled = enabled;
  unsigned generation = ++t.Generation;
  if (!enabled) return;
  auto alive = Alive;
  Control.PostDelayed(IntervalMs[Index(kind)], [this, alive, kind, generation] {
    if (*alive) Tick(kind, generation);
  });
}

bool TSyncScheduler::TimerEnabled(TPassKind kind) const { return Timers[Index(kind)].Enabled; }

void TSyncScheduler::SetServiceRunning(bool running) { Running.store(running); }
bool TSyncScheduler::ServiceRunning() const { return Running.load(); }
bool TSyncScheduler::PassRunning(TPassKind kind) const { return Busy[Index(kind)].load(); }
int TSyncScheduler::RunningPasses() const { return Active.load(); }

void TSyncScheduler::Tick(TPassKind kind, unsigned generation) {
  TTimer& t = Timers[Index(kind)];
  if (!t.Enabled || t.Generation != generation) return;  // switched off or restarted since
  // The catalogue tick holds the order timer too, so that the order pass
  // follows the catalogue pass rather than running beside its start.
  SetTimerEnabled(kind, false);
  if (kind == TPassKind::Catalogue) SetTimerEnabled(TPassKind::Order, false);
  StartWorker(kind);
}

bool TSyncScheduler::TryClaim(TPassKind kind) {
  bool expected = false;
  if (!Busy[Index(kind)].compare_exchange_strong(expected, true)) return false;
  ++Active;
  return true;
}

void TSyncScheduler::Release(TPassKind kind) {
  Busy[Index(kind)].store(false);
  --Active;
}

void TSyncScheduler::StartWorker(TPassKind kind) {
  if (ShuttingDown) return;
  // A pass of this kind from before (a Start right after a Stop, or an order
  // pass still running when the catalogue pass re-armed the order timer) is
  // still busy: leave it alone; its end re-arms this timer.
  if (!TryClaim(kind)) return;
  Workers.push_back(TWorker{kind, std::thread()});
  Workers.back().Thread = std::thread([this, kind] { WorkerMain(kind); });
}

void TSyncScheduler::SetPassGate(TPassGate gate) { Gate = std::move(gate); }

bool TSyncScheduler::RunGuarded(TPassKind kind, std::string& error) {
  if (!Running.load()) {
    error = "the service is not running";
    return false;
  }
  bool entered = false, ran = false;
  try {
    if (Gate.Enter && !Gate.Enter(error)) return false;
    entered = true;
    if (Passes[Index(kind)]) Passes[Index(kind)]();
    ran = true;
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    error = "unknown error";
  }
  if (entered && Gate.Leave) Gate.Leave();
  if (ran) {
    std::lock_guard lock(FailureMutex);
    LastFailure[Index(kind)].clear();
    return true;
  }
  // A pass the gate held back has said why itself. A pass that failed: the
  // reason goes into the status lines; one that keeps failing for the same
  // reason (a shop that is down) says so once, until a pass succeeds.
  if (!entered) return false;
  bool repeated = false;
  {
    std::lock_guard lock(FailureMutex);
    repeated = LastFailure[Index(kind)] == error;
    LastFailure[Index(kind)] = error;
  }
  if (!repeated)
    StatusLine(std::string("The ") + (kind == TPassKind::Order ? "order" : "catalogue") + " pass failed: " + error);
  return false;
}

void TSyncScheduler::WorkerMain(TPassKind kind) {
  std::string ignored;  // an error ends the pass (its status line is written); the next tick starts afresh
  RunGuarded(kind, ignored);
  auto alive = Alive;
  auto id = std::this_thread::get_id();
  Control.Post([this, alive, id, kind] {
    if (*alive) WorkerEnded(id, kind);
  });
}

void TSyncScheduler::WorkerEnded(std::thread::id id, TPassKind kind) {
  for (auto it = Workers.begin(); it != Workers.end(); ++it) {
    if (it->Thread.get_id() == id) {
      it->Thread.join();  // it has nothing left to do but return
      Workers.erase(it);
      break;
    }
  }
  Release(kind);
  if (kind == TPassKind::Catalogue) {
    SetTimerEnabled(TPassKind::Catalogue, true);
    SetTimerEnabled(TPassKind::Order, true);
  } else {
    SetTimerEnabled(TPassKind::Order, true);
  }
  if (ShuttingDown && Active.load() == 0 && OnIdle) {
    auto onIdle = std::move(OnIdle);
    OnIdle = nullptr;
    onIdle();
  }
}

bool TSyncScheduler::RunPassNow(TPassKind kind, std::string& error) {
  if (!TryClaim(kind)) {
    error = "a pass of this kind is already running";
    return false;
  }
  bool ok = RunGuarded(kind, error);
  Release(kind);
  return ok;
}

void TSyncScheduler::Shutdown(std::function<void()> onIdle) {
  ShuttingDown = true;
  if (Active.load() == 0) {
    if (onIdle) onIdle();
    return;
  }
  OnIdle = std::move(onIdle);
}

}  // namespace ooa
