#include "print/PdfReceiptFile.h"

#include "print/PrinterOutput.h"
#include "print/PrinterPlatform.h"

namespace ooa {

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool EndsWithSeparator(const std::string& path) { return !path.empty() && IsPathSeparator(path.back()); }

// The invoice number as part of a file name: no folder separators, no
// control characters.
std::string FileNamePart(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (IsUnsafeInFileName(c)) c = '_';
  return out;
}

}  // namespace

std::string ReservePdfReceiptFile(const std::string& target, const std::string& invoiceNo) {
  const std::string name = FileNamePart(invoiceNo);
  std::string stem;  // the path without ".pdf"
  if (EndsWithSeparator(target) || IsFolder(target)) {
    const std::string folder = EndsWithSeparator(target) ? target : target + "/";
    if (!IsFolder(folder)) throw TPrintError("PDF folder " + folder + " does not exist");
    stem = folder + (name.empty() ? "Receipt" : name);
  } else {
    stem = EndsWith(target, ".pdf") ? target.substr(0, target.size() - 4) : target;
    if (!name.empty()) stem += "-" + name;
  }
  for (int n = 1; n < 10000; ++n) {
    const std::string path = stem + (n == 1 ? "" : "-" + std::to_string(n)) + ".pdf";
    std::string error;
    switch (CreateNewFile(path, error)) {
      case TNewFile::Created:
        return path;
      case TNewFile::Taken:
        break;
      case TNewFile::Failed:
        throw TPrintError("PDF file " + path + ": " + error);
    }
  }
  throw TPrintError("PDF file " + stem + ".pdf: every name up to -9999 is taken");
}

}  // namespace ooa
