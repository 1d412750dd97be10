#include "config/FileLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

namespace ooa {

TFileLock::TFileLock(const std::string& lockPath, bool exclusive) {
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) throw std::runtime_error("Cannot open " + lockPath + ": " + std::strerror(errno));
  while (::flock(fd, exclusive ? LOCK_EX : LOCK_SH) != 0) {
    if (errno == EINTR) continue;
    const int err = errno;
    ::close(fd);
    throw std::runtime_error("Cannot lock " + lockPath + ": " + std::strerror(err));
  }
  Native = fd;
}

TFileLock::~TFileLock() { ::close(static_cast<int>(Native)); }

}  // namespace ooa
