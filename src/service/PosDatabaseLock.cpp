// One working copy per POS database (see PosDatabaseLock.h).
#include "service/PosDatabaseLock.h"

#include <exception>

#include "config/ActivityLog.h"

namespace ooa {

void TPosDatabaseLock::Start() {
  std::lock_guard<std::mutex> lock(Mutex);
  Stopped = false;
  std::string ignored;  // a copy that waits says so in the status line
  Acquire(ignored);
}

void TPosDatabaseLock::Stop() {
  std::lock_guard<std::mutex> lock(Mutex);
  if (Stopped) return;
  Stopped = true;
  Waiting = TWaiting::No;  // a later Start that has to wait says so again
  if (PassesInside == 0) Release();
}

bool TPosDatabaseLock::EnterPass(std::string& why) {
  std::lock_guard<std::mutex> lock(Mutex);
  if (Stopped) {
    why = "the service is not running";
    return false;
  }
  if (!Acquire(why)) return false;
  ++PassesInside;
  return true;
}

void TPosDatabaseLock::LeavePass() {
  std::lock_guard<std::mutex> lock(Mutex);
  if (--PassesInside == 0 && Stopped) Release();
}

bool TPosDatabaseLock::Acquire(std::string& why) {
  try {
    if (Backend.TakeAppLock()) {
      Waiting = TWaiting::No;
      return true;
    }
    why = kAnotherCopyLine;
    Wait(TWaiting::ForOtherCopy, why);
  } catch (const std::exception& e) {
    // The lock cannot even be asked for (a dropped connection, a lock file
    // that cannot be made): no pass runs without it, and the owner learns why.
    why = std::string("Can not lock the POS database: ") + e.what();
    Wait(TWaiting::ForError, "Error: " + why);
  }
  return false;
}

void TPosDatabaseLock::Wait(TWaiting kind, const std::string& line) {
  if (Waiting == kind) return;
  Waiting = kind;
  StatusLine(line);
}

void TPosDatabaseLock::Release() {
  // Also when the last request's answer was lost: the release statement lets
  // go only of a lock the connection holds. A connection that cannot release
  // it has lost it with the connection.
  try {
    Backend.ReleaseAppLock();
  } catch (...) {
  }
}

}  // namespace ooa
