// UTF-8 <-> UTF-16 at the edge of the Win32 API (the W functions), and the
// text of a Win32 error code. Windows edition only; any thread.
#pragma once

#include <string>
#include <string_view>

namespace ooa {

// Invalid UTF-8 bytes become U+FFFD.
std::wstring Widen(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string Narrow(std::wstring_view wide);
// The system's message for a GetLastError() code, without the trailing line
// break ("error <code>" when the system has none).
std::string SystemErrorText(unsigned long code);

}  // namespace ooa
