// TFileLock: an advisory lock on a whole lock file, held for the object's
// lifetime and released by the system when the process dies, however it
// dies. Exclusive for a change, shared for a read; the constructor waits
// until the lock is granted. Used by the state files that several processes
// of one user change (the problems list). One thread per object.
#pragma once

#include <cstdint>
#include <string>

namespace ooa {

class TFileLock {
 public:
  // Opens (creating when missing) `lockPath` and locks it. Throws
  // std::runtime_error "Cannot open <path>: <reason>" or
  // "Cannot lock <path>: <reason>".
  TFileLock(const std::string& lockPath, bool exclusive);
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

 private:
  std::intptr_t Native = -1;  // the file descriptor, or the Windows handle
};

}  // namespace ooa
