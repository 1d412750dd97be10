#include "config/FileLock.h"

#include <windows.h>

#include <stdexcept>

#include "config/win/WideText.h"

namespace ooa {

TFileLock::TFileLock(const std::string& lockPath, bool exclusive) {
  HANDLE h = CreateFileW(Widen(lockPath).c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("Cannot open " + lockPath + ": " + SystemErrorText(GetLastError()));
  }
  // The whole file: every range a lock file could ever have.
  OVERLAPPED at{};
  if (!LockFileEx(h, exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0, 0, MAXDWORD, MAXDWORD, &at)) {
    const DWORD err = GetLastError();
    CloseHandle(h);
    throw std::runtime_error("Cannot lock " + lockPath + ": " + SystemErrorText(err));
  }
  Native = reinterpret_cast<std::intptr_t>(h);
}

TFileLock::~TFileLock() { CloseHandle(reinterpret_cast<HANDLE>(Native)); }

}  // namespace ooa
