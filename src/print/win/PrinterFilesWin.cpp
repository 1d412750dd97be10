// Printer devices and the files of pdf: printers, Windows half.
#include <windows.h>

#include <cctype>
#include <cstring>

#include "print/PrinterPlatform.h"
#include "config/win/WideText.h"

namespace ooa {

namespace {
bool IsPortName(std::string name) {
  if (!name.empty() && name.back() == ':') name.pop_back();
  if (name.size() < 4 || name.size() > 6) return false;
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return (name.compare(0, 3, "LPT") == 0 || name.compare(0, 3, "COM") == 0) &&
         name.find_first_not_of("0123456789", 3) == std::string::npos;
}
}  // namespace

// A queue's name never has these forms: "\\server\printer" names a shared
// queue, "\\.\" a device.
bool IsPrinterDeviceName(const std::string& name) {
  return name.compare(0, 5, "/dev/") == 0 || name.compare(0, 4, "\\\\.\\") == 0 || IsPortName(name);
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

bool IsUnsafeInFileName(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || (c != 0 && std::strchr("/\\:*?\"<>|", c) != nullptr);
}

TNewFile CreateNewFile(const std::string& path, std::string& error) {
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return TNewFile::Created;
  }
  const DWORD code = GetLastError();
  if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) return TNewFile::Taken;
  error = SystemErrorText(code);
  return TNewFile::Failed;
}

void RemoveFile(const std::string& path) { DeleteFileW(Widen(path).c_str()); }

}  // namespace ooa
