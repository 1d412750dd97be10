// TPosDatabaseLock: only one copy of the service works on a POS database at a
// time. The copy that holds the database's application lock (db/AppLock.h)
// runs its passes; another copy writes "Another copy of the service is working
// on this POS database." once when it starts waiting, starts no pass, and asks
// again on every Start and every timer tick, so it takes over as soon as the
// working copy stops or ends.
//
// Start asks for the lock. Every pass asks again before it runs: a copy that
// holds the lock keeps it (the question does not take it twice), a copy whose
// connection dropped it takes it again or waits. Stop releases the lock once
// no pass of this copy is running any more: at once, or when the last running
// pass ends.
//
// Threads: Start and Stop on the controlling thread, EnterPass and LeavePass
// on the workers (or the caller of RunPassNow). One mutex orders them all,
// and the backend's lock calls are made under it, one at a time.
// Owned by the service controller; the backend is not owned and outlives it.
#pragma once

#include <mutex>
#include <string>

#include "service/ServiceBackend.h"

namespace ooa {

inline constexpr const char* kAnotherCopyLine = "Another copy of the service is working on this POS database.";

class TPosDatabaseLock {
 public:
  explicit TPosDatabaseLock(IServiceBackend& backend) : Backend(backend) {}

  // The service started (connected): asks for the lock.
  void Start();
  // The service stopped: the lock goes once no pass is running.
  void Stop();
  // A pass is about to run: true when this copy holds the lock (the pass
  // runs, and LeavePass must follow); false with the reason otherwise.
  bool EnterPass(std::string& why);
  void LeavePass();

 private:
  enum class TWaiting { No, ForOtherCopy, ForError };
  // Under Mutex: makes sure this copy holds the lock; writes the status line
  // when a wait of a new kind begins.
  bool Acquire(std::string& why);
  void Wait(TWaiting kind, const std::string& line);
  void Release();

  IServiceBackend& Backend;
  std::mutex Mutex;
  bool Stopped = true;
  int PassesInside = 0;
  TWaiting Waiting = TWaiting::No;
};

}  // namespace ooa
