// The characters of a receipt's 8-bit text in its code page (a name the
// settings' code page takes, config/TextCodec.h):
// single-byte code pages such as CP1252, and the double-byte ones the service
// prints (GBK, BIG5, SHIFT_JIS), where a lead byte and the byte after it are
// one character two columns wide. Used by the text and PNG renderings.
// Pure functions; any thread.
#pragma once

#include <string>
#include <vector>

namespace ooa::escpos {

struct TChar {
  int Columns = 1;         // bytes in the 8-bit text: the columns the printer gives it
  char32_t Code = U'?';    // the Unicode character ('?' for bytes the code page has no character for)
  std::string Utf8;
};

// The text's characters in order; the bytes of every character add up to the
// text. An unknown code page reads every byte as its own '?' above 0x7F.
std::vector<TChar> SplitChars(const std::string& text, const std::string& codePage);

// The characters as receipt lines of at most `columns` columns each (at least
// one line, possibly empty); a double-byte character is never split.
std::vector<std::vector<TChar>> WrapChars(const std::vector<TChar>& chars, int columns);

}  // namespace ooa::escpos
