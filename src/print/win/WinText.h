// UTF-8 <-> UTF-16 at the edge of the Win32 API, and the system's words for
// an error code (internal to src/print/win). Any thread.
#pragma once

#include <string>

namespace ooa {

std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const wchar_t* wide);
// FormatMessageW's text for the error (GetLastError, WSAGetLastError), without
// the trailing line end; "error N" when the system has no text for it.
std::string SystemErrorText(unsigned long code);

}  // namespace ooa
