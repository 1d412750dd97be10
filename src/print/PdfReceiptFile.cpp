#include "print/PdfReceiptFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "print/PrinterOutput.h"

namespace ooa {

namespace {

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The invoice number as part of a file name: no folder separators, no
// control characters.
std::string FileNamePart(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  return out;
}

}  // namespace

std::string ReservePdfReceiptFile(const std::string& target, const std::string& invoiceNo) {
  const std::string name = FileNamePart(invoiceNo);
  std::string stem;  // the path without ".pdf"
  if (EndsWith(target, "/") || IsFolder(target)) {
    const std::string folder = EndsWith(target, "/") ? target : target + "/";
    if (!IsFolder(folder)) throw TPrintError("PDF folder " + folder + " does not exist");
    stem = folder + (name.empty() ? "Receipt" : name);
  } else {
    stem = EndsWith(target, ".pdf") ? target.substr(0, target.size() - 4) : target;
    if (!name.empty()) stem += "-" + name;
  }
  for (int n = 1; n < 10000; ++n) {
    const std::string path = stem + (n == 1 ? "" : "-" + std::to_string(n)) + ".pdf";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST) throw TPrintError("PDF file " + path + ": " + std::strerror(errno));
  }
  throw TPrintError("PDF file " + stem + ".pdf: every name up to -9999 is taken");
}

}  // namespace ooa
