// The single-instance guard of the Linux edition: a lock on a file of the
// user's session.
#include "config/InstanceGuard.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ooa {

namespace {
// Open for the life of the process; closing it would drop the lock.
int LockFd = -1;
}  // namespace

std::string InstanceLockPath() {
  const std::string name = std::string(kInstanceName) + ".lock";
  if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir) {
    struct stat st{};
    if (::stat(dir, &st) == 0 && S_ISDIR(st.st_mode)) {
      std::string path = dir;
      if (path.back() != '/') path += '/';
      return path + "OnlineOrderAdaptor-" + name;
    }
  }
  return "/tmp/" + std::to_string(::getuid()) + "-OnlineOrderAdaptor-" + name;
}

bool CheckSingleInstance() {
  if (LockFd >= 0) return true;  // this process already holds it
  const std::string path = InstanceLockPath();
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
  if (fd < 0) return true;
  struct stat st{};
  if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || !S_ISREG(st.st_mode)) {
    // Someone else's file in a shared folder must not keep us from running.
    ::close(fd);
    return true;
  }
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    const bool heldByOther = errno == EWOULDBLOCK;
    ::close(fd);
    return !heldByOther;
  }
  LockFd = fd;
  return true;
}

}  // namespace ooa
