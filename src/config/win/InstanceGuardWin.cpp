// The single-instance guard of the Windows edition: the session's named mutex.
#include "config/InstanceGuard.h"

#include <windows.h>

#include "config/win/WideText.h"

namespace ooa {

namespace {
// Open for the life of the process; the system closes it when the process
// ends, however it ends, and the name is free again.
HANDLE Mutex = nullptr;
}  // namespace

bool CheckSingleInstance() {
  if (Mutex) return true;  // this process already holds it
  const std::wstring name = Widen(kInstanceName);
  HANDLE h = CreateMutexW(nullptr, FALSE, name.c_str());
  const DWORD err = GetLastError();
  // Access denied: the name exists, made by a process this one may not open.
  if (!h) return err != ERROR_ACCESS_DENIED;
  if (err == ERROR_ALREADY_EXISTS) {
    CloseHandle(h);
    return false;
  }
  Mutex = h;
  return true;
}

}  // namespace ooa
