// Printer devices and the files of pdf: printers, POSIX half.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "print/PrinterPlatform.h"

namespace ooa {

bool IsPrinterDeviceName(const std::string& name) { return name.compare(0, 5, "/dev/") == 0; }

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsPathSeparator(char c) { return c == '/'; }

bool IsUnsafeInFileName(char c) { return c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

TNewFile CreateNewFile(const std::string& path, std::string& error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd >= 0) {
    ::close(fd);
    return TNewFile::Created;
  }
  if (errno == EEXIST) return TNewFile::Taken;
  error = std::strerror(errno);
  return TNewFile::Failed;
}

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace ooa
