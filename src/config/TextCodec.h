// Text encoding conversions shared by the settings file and the text helpers:
// UTF-16 LE <-> UTF-8 (files written on Windows) and an 8-bit code page <->
// UTF-8 (iconv on Linux, the system's code pages on Windows). Pure functions;
// any thread.
#pragma once

#include <string>
#include <string_view>

namespace ooa {

// UTF-16 LE bytes (without byte order mark) -> UTF-8. Unpaired surrogates
// become U+FFFD; an odd trailing byte is dropped.
std::string Utf16LeToUtf8(std::string_view bytes);
// UTF-8 -> UTF-16 LE bytes (without byte order mark). Invalid UTF-8 bytes
// become U+FFFD.
std::string Utf8ToUtf16Le(std::string_view utf8);
// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);
// Length of the UTF-8 sequence at byte i: the whole sequence when it is
// well-formed, else 1 (the malformed byte alone).
size_t Utf8SkipLength(std::string_view s, size_t i);

// Converts between UTF-8 and the code page `codePage`, named as iconv names
// it ("CP1252", "IBM850", "GBK", "SHIFT_JIS", "ISO-8859-15"; on Windows the
// name is mapped to the system's code page of that number or name).
// Characters that cannot be converted become '?'. Throws
// std::invalid_argument "Unknown code page: <name>" for a code page the
// system does not know.
std::string Utf8ToCodePage(std::string_view utf8, const std::string& codePage);
std::string CodePageToUtf8(std::string_view bytes, const std::string& codePage);
// True when the system can convert between UTF-8 and the code page.
bool IsKnownCodePage(const std::string& codePage);

}  // namespace ooa
