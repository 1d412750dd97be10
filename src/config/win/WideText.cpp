#include "config/win/WideText.h"

#include <windows.h>

#include "config/TextCodec.h"

namespace ooa {

std::wstring Widen(std::string_view utf8) {
  const std::string bytes = Utf8ToUtf16Le(utf8);
  std::wstring out(bytes.size() / 2, L'\0');
  for (size_t k = 0; k < out.size(); ++k) {
    out[k] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                  (static_cast<unsigned char>(bytes[2 * k + 1]) << 8));
  }
  return out;
}

std::string Narrow(std::wstring_view wide) {
  std::string bytes;
  bytes.reserve(wide.size() * 2);
  for (wchar_t c : wide) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return Utf16LeToUtf8(bytes);
}

std::string SystemErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
    text.pop_back();
  return text.empty() ? "error " + std::to_string(code) : Narrow(text);
}

}  // namespace ooa
