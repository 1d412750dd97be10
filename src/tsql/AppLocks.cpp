// The application locks of an embedded session (see AppLocks.h): the
// bookkeeping of grants; the lock file itself is the platform's
// (posix/AppLocksPosix.cpp, win/AppLocksWin.cpp).
#include "tsql/AppLocks.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "config/ProgramPath.h"
#include "tsql/Value.h"

namespace ooa::tsql {

namespace {

thread_local TAppLocks* tCurrent = nullptr;

}  // namespace

// The byte of the lock file that stands for a resource (FNV-1a). Two names
// that met on one byte would exclude each other; with 62 bits they do not.
uint64_t TAppLocks::ByteOf(const std::string& key) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : key) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h & 0x3FFFFFFFFFFFFFFFull;
}

TAppLocks::~TAppLocks() { ReleaseAll(); }

void TAppLocks::Attach(const std::string& databaseFile) {
  ReleaseAll();
  DatabasePath = databaseFile;
  // The same file reached by another name (a relative path, a link) must
  // give the same lock file.
  std::error_code ec;
  std::filesystem::path real =
      std::filesystem::weakly_canonical(std::filesystem::absolute(FsPath(databaseFile), ec), ec);
  LockPath = (ec || real.empty() ? databaseFile : PathText(real)) + "-applock";
}

void TAppLocks::ReleaseAll() {
  CloseLockFile();  // the system drops every lock taken through it
  Held.clear();
}

int TAppLocks::Get(const std::string& key, TAppLockMode mode, int timeoutMs) {
  OpenLockFile();
  auto held = Held.find(key);
  if (held != Held.end() && (held->second.Mode == TAppLockMode::Exclusive || mode == TAppLockMode::Shared)) {
    ++held->second.Count;
    return 0;
  }
  bool waited = false;
  if (!TryLock(key, mode)) {
    if (timeoutMs == 0) return -1;
    waited = true;
    if (timeoutMs < 0) {
      WaitLock(key, mode);
    } else {
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
      while (true) {
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return -1;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            std::chrono::milliseconds(10), deadline - now));
        if (TryLock(key, mode)) break;
      }
    }
  }
  THeld& h = Held[key];
  h.Mode = mode;
  ++h.Count;
  return waited ? 1 : 0;
}

bool TAppLocks::Release(const std::string& key) {
  auto held = Held.find(key);
  if (held == Held.end()) return false;
  if (--held->second.Count > 0) return true;
  Unlock(key);
  Held.erase(held);
  return true;
}

TAppLockMode TAppLocks::ModeOf(const std::string& key) const {
  auto held = Held.find(key);
  return held == Held.end() ? TAppLockMode::NoLock : held->second.Mode;
}

TAppLockScope::TAppLockScope(TAppLocks* locks) : Saved(tCurrent) { tCurrent = locks; }
TAppLockScope::~TAppLockScope() { tCurrent = Saved; }

TAppLocks* CurrentAppLocks() { return tCurrent; }

}  // namespace ooa::tsql
