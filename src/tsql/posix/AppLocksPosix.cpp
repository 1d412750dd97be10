// The lock file of the application locks on Linux: locks of the open file
// description (fcntl F_OFD_SETLK), one byte per resource.
#include "tsql/AppLocks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tsql/Value.h"

namespace ooa::tsql {

namespace {

struct flock Range(uint64_t byte, short type) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(byte);
  fl.l_len = 1;
  fl.l_pid = 0;  // must be 0 for open file description locks
  return fl;
}

short TypeOf(TAppLockMode mode) { return mode == TAppLockMode::Exclusive ? F_WRLCK : F_RDLCK; }

}  // namespace

void TAppLocks::CloseLockFile() {
  if (Fd >= 0) ::close(static_cast<int>(Fd));
  Fd = -1;
}

void TAppLocks::OpenLockFile() {
  if (Fd >= 0) return;
  if (LockPath.empty()) throw TRuntimeError{50000, "The session has no database file to take a lock beside."};
  // Every user who may write the database may lock it: the lock file gets the
  // database file's permissions, whatever the umask.
  mode_t mode = S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH;
  struct stat st {};
  if (::stat(DatabasePath.c_str(), &st) == 0) mode = st.st_mode & 0666;
  int fd = ::open(LockPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd >= 0) {
    (void)::fchmod(fd, mode);
  } else if (errno == EEXIST) {
    fd = ::open(LockPath.c_str(), O_RDWR | O_CLOEXEC);
  }
  if (fd < 0) throw TRuntimeError{50000, "Cannot open the lock file '" + LockPath + "': " + std::strerror(errno)};
  Fd = fd;
}

bool TAppLocks::TryLock(const std::string& key, TAppLockMode mode) {
  struct flock fl = Range(ByteOf(key), TypeOf(mode));
  while (::fcntl(static_cast<int>(Fd), F_OFD_SETLK, &fl) != 0) {
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EACCES) return false;
    throw TRuntimeError{50000, "Cannot lock the lock file '" + LockPath + "': " + std::strerror(errno)};
  }
  return true;
}

void TAppLocks::WaitLock(const std::string& key, TAppLockMode mode) {
  struct flock fl = Range(ByteOf(key), TypeOf(mode));
  while (::fcntl(static_cast<int>(Fd), F_OFD_SETLKW, &fl) != 0) {
    if (errno != EINTR)
      throw TRuntimeError{50000, "Cannot lock the lock file '" + LockPath + "': " + std::strerror(errno)};
  }
}

void TAppLocks::Unlock(const std::string& key) {
  struct flock fl = Range(ByteOf(key), F_UNLCK);
  while (::fcntl(static_cast<int>(Fd), F_OFD_SETLK, &fl) != 0 && errno == EINTR) {
  }
}

}  // namespace ooa::tsql
