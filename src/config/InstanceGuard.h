// The single-instance guard: one running copy of the service per user session.
// Start-up (main thread) calls it before anything else; the lock it takes is
// held until the process ends, however it ends, so a crashed instance never
// blocks the next start.
#pragma once

#include <string>

namespace ooa {

// The name every instance locks; the same in every copy of the program.
inline constexpr const char* kInstanceName = "{90D3CEB2-0939-4D79-804F-7FD99FA9527C}";

#ifndef _WIN32
// The lock file: in $XDG_RUNTIME_DIR (the user's session directory) when set,
// otherwise /tmp/<uid>-<name>.lock.
std::string InstanceLockPath();
#endif

// True when this process is the first instance and now holds the lock; false
// when another process of the session holds it. A lock file that cannot be
// created or locked for any other reason lets the process run (true).
// On Windows the lock is the session's named mutex kInstanceName, which the
// system frees when the process ends; a mutex that cannot be created for any
// reason other than its existence lets the process run.
bool CheckSingleInstance();

// Start-up step: ends the process at once with exit code 0, silently, when
// another instance runs.
void ExitIfAnotherInstance();

}  // namespace ooa
