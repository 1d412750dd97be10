#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "config/TextCodec.h"
#include "config/UtilUnit.h"

namespace ooa {

namespace {

// The whole file; throws when an existing file cannot be opened or read.
std::string ReadAllBytes(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("Cannot open file " + path + ": " + std::strerror(errno));
  std::string data;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      throw std::runtime_error("Cannot read file " + path + ": " + std::strerror(err));
    }
    if (n == 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

}  // namespace

std::string ReadTextFile(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)) return {};
  const std::string data = ReadAllBytes(path);
  if (data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0xFF && static_cast<unsigned char>(data[1]) == 0xFE) {
    return Utf16LeToUtf8(std::string_view(data).substr(2));
  }
  return AnsiToUtf8(data);
}

}  // namespace ooa
