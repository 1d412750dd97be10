// The tools of a test run under Wine (see HostTools.h). Wine's kernel32 turns
// a Windows path into the Unix one (wine_get_unix_file_name); on a real
// Windows, where the stand-ins cannot run, paths stay as they are.
#include "support/HostTools.h"

#include <windows.h>

#include <string>

#include "support/win/CommandLine.h"

namespace ooa::test {

std::string BuiltProgram(const std::string& relative) {
  return std::string(OOA_BINARY_DIR) + "/" + relative + ".exe";
}

std::string HostProgram(const std::string& relative) {
  return std::string(OOA_HOST_BINARY_DIR) + "/" + relative;
}

std::string HostPath(const std::string& path) {
  using TUnixName = char*(__cdecl*)(const wchar_t*);
  static const auto unixName = reinterpret_cast<TUnixName>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return path;
  const std::wstring wide = Wide(path);
  char* unix = unixName(wide.c_str());
  if (!unix) return path;
  std::string out(unix);
  ::HeapFree(::GetProcessHeap(), 0, unix);
  return out;
}

}  // namespace ooa::test
