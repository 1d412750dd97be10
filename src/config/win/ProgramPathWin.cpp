#include "config/ProgramPath.h"

#include <windows.h>

#include "config/win/WideText.h"

namespace ooa {

std::string ProgramDir() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return "./";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // truncated: a longer path
  }
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? "./" : Narrow(path.substr(0, slash + 1));
}

}  // namespace ooa
