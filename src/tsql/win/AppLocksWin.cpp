// The lock file of the application locks on Windows: byte-range locks of the
// session's own handle (LockFileEx), one byte per resource.
#include "tsql/AppLocks.h"

#include <windows.h>

#include "config/win/WideText.h"
#include "tsql/Value.h"

namespace ooa::tsql {

namespace {

HANDLE HandleOf(std::intptr_t fd) { return reinterpret_cast<HANDLE>(fd); }

OVERLAPPED At(uint64_t byte) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(byte & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(byte >> 32);
  return at;
}

DWORD FlagsOf(TAppLockMode mode) { return mode == TAppLockMode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0; }

}  // namespace

void TAppLocks::CloseLockFile() {
  if (Fd != -1) CloseHandle(HandleOf(Fd));
  Fd = -1;
}

void TAppLocks::OpenLockFile() {
  if (Fd != -1) return;
  if (LockPath.empty()) throw TRuntimeError{50000, "The session has no database file to take a lock beside."};
  // The lock file takes the permissions of the folder, as the database did.
  HANDLE h = CreateFileW(Widen(LockPath).c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    throw TRuntimeError{50000, "Cannot open the lock file '" + LockPath + "': " + SystemErrorText(GetLastError())};
  }
  Fd = reinterpret_cast<std::intptr_t>(h);
}

bool TAppLocks::TryLock(const std::string& key, TAppLockMode mode) {
  const uint64_t byte = ByteOf(key);
  // A held Shared lock would refuse this handle's own Exclusive request.
  const bool upgrade = mode == TAppLockMode::Exclusive && ModeOf(key) == TAppLockMode::Shared;
  if (upgrade) Unlock(key);
  OVERLAPPED at = At(byte);
  if (LockFileEx(HandleOf(Fd), FlagsOf(mode) | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) return true;
  const DWORD err = GetLastError();
  if (upgrade) {
    OVERLAPPED again = At(byte);
    LockFileEx(HandleOf(Fd), 0, 0, 1, 0, &again);  // the Shared lock back
  }
  if (err == ERROR_LOCK_VIOLATION || err == ERROR_IO_PENDING) return false;
  throw TRuntimeError{50000, "Cannot lock the lock file '" + LockPath + "': " + SystemErrorText(err)};
}

void TAppLocks::WaitLock(const std::string& key, TAppLockMode mode) {
  if (mode == TAppLockMode::Exclusive && ModeOf(key) == TAppLockMode::Shared) Unlock(key);
  OVERLAPPED at = At(ByteOf(key));
  if (!LockFileEx(HandleOf(Fd), FlagsOf(mode), 0, 1, 0, &at)) {
    throw TRuntimeError{50000, "Cannot lock the lock file '" + LockPath + "': " + SystemErrorText(GetLastError())};
  }
}

void TAppLocks::Unlock(const std::string& key) {
  OVERLAPPED at = At(ByteOf(key));
  UnlockFileEx(HandleOf(Fd), 0, 1, 0, &at);
}

}  // namespace ooa::tsql
