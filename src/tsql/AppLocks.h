// TAppLocks: the application locks (sp_getapplock) that one embedded session
// holds, for as long as the session lives.
//
// They live in a lock file beside the database file ("<file>-applock", made
// when a session first asks for a lock), one byte per resource, as locks of
// the open file description: two sessions exclude each other whether they run
// in one process or in two, and the system drops a session's locks when the
// session closes the file or its process dies, however it dies. A session
// asking again for a lock it holds gets it again, and holds it until it has
// released it as often. Modes: Shared and Exclusive (an Exclusive request
// turns a Shared lock of the session into an Exclusive one). On Windows the
// locks are byte-range locks of the session's handle (LockFileEx), which the
// system also drops when the handle closes or the process dies; there a
// Shared lock cannot be turned into an Exclusive one in place, so the session
// lets go of it while it asks, and takes it again when refused.
//
// Owned by the session, which attaches it to its file when it opens; used by
// the session's thread only. TAppLockScope tells the APPLOCK_MODE function,
// which has no session of its own, whose locks it reports.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace ooa::tsql {

enum class TAppLockMode : unsigned char { NoLock, Shared, Exclusive };

class TAppLocks {
 public:
  TAppLocks() = default;
  ~TAppLocks();
  TAppLocks(const TAppLocks&) = delete;
  TAppLocks& operator=(const TAppLocks&) = delete;

  // The database file the locks are taken beside; drops every lock held.
  void Attach(const std::string& databaseFile);
  // Drops every lock (closes the lock file).
  void ReleaseAll();

  // Takes the lock on key in mode: 0 granted at once, 1 granted after
  // waiting, -1 not granted within timeoutMs (0: do not wait; below 0: wait as
  // long as it takes). Throws TRuntimeError when the lock file cannot be used.
  int Get(const std::string& key, TAppLockMode mode, int timeoutMs);
  // Releases one grant of key; false when the session does not hold it.
  bool Release(const std::string& key);
  TAppLockMode ModeOf(const std::string& key) const;

  const std::string& LockFile() const { return LockPath; }

 private:
  struct THeld {
    TAppLockMode Mode = TAppLockMode::NoLock;
    int Count = 0;
  };
  static uint64_t ByteOf(const std::string& key);
  // The platform's half: the lock file and its byte locks.
  void OpenLockFile();
  void CloseLockFile();
  // One attempt: true when the byte of key is locked in mode now.
  bool TryLock(const std::string& key, TAppLockMode mode);
  // Waits as long as it takes for the lock.
  void WaitLock(const std::string& key, TAppLockMode mode);
  void Unlock(const std::string& key);

  std::string DatabasePath;
  std::string LockPath;
  std::intptr_t Fd = -1;  // the file descriptor, or the Windows handle
  std::map<std::string, THeld> Held;
};

// The session whose locks APPLOCK_MODE reports on this thread, for as long as
// the scope lives (the executor sets it while it runs a batch).
class TAppLockScope {
 public:
  explicit TAppLockScope(TAppLocks* locks);
  ~TAppLockScope();
  TAppLockScope(const TAppLockScope&) = delete;
  TAppLockScope& operator=(const TAppLockScope&) = delete;

 private:
  TAppLocks* Saved;
};

// The locks of the batch running on this thread; nullptr outside a batch.
TAppLocks* CurrentAppLocks();

}  // namespace ooa::tsql
