#include "config/FileBytes.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace ooa {

std::optional<std::string> ReadFileBytes(const std::string& path, const std::string& kind) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)) return std::nullopt;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("Cannot open " + kind + " " + path + ": " + std::strerror(errno));
  std::string data;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      throw std::runtime_error("Cannot read " + kind + " " + path + ": " + std::strerror(err));
    }
    if (n == 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

void WriteFileAtomically(const std::string& path, const std::string& bytes, const std::string& kind) {
  std::string target = path;
  struct stat st{};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) target = resolved;
  }
  auto throwErrno = [&](int err) {
    throw std::runtime_error("Cannot write " + kind + " " + target + ": " + std::strerror(err));
  };
  std::string tmp = target + ".XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) throwErrno(errno);
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tmp.c_str());
    throwErrno(err);
  };
  if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0) fail(errno);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) fail(errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    throwErrno(err);
  }
  if (::rename(tmp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    throwErrno(err);
  }
  // Make the rename itself durable.
  const size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

bool MoveFileOver(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace ooa
