#include "escpos-view/CodePageText.h"

#include <stdexcept>
#include <string_view>

#include "config/TextCodec.h"

namespace ooa::escpos {

namespace {

std::string Utf8Of(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

TChar Make(int columns, char32_t code) { return TChar{columns, code, Utf8Of(code)}; }

// The one character that well-formed UTF-8 holds; false when it holds none
// or more than one.
bool OneCharOf(const std::string& utf8, char32_t& code) {
  if (utf8.empty()) return false;
  const auto b0 = static_cast<unsigned char>(utf8[0]);
  size_t length = 1;
  char32_t c = b0;
  if (b0 >= 0xF0) {
    length = 4, c = b0 & 0x07;
  } else if (b0 >= 0xE0) {
    length = 3, c = b0 & 0x0F;
  } else if (b0 >= 0xC0) {
    length = 2, c = b0 & 0x1F;
  }
  if (utf8.size() != length) return false;
  for (size_t i = 1; i < length; ++i) c = (c << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
  code = c;
  return true;
}

// The character that exactly these bytes of the code page are; false when
// they are not one whole character (a lead byte without the byte after it,
// a byte the code page leaves undefined, or two characters). The converter
// shows what it cannot convert as '?' (or U+FFFD), which no byte above 0x7F
// of a code page stands for.
bool Decode(std::string_view bytes, const std::string& codePage, char32_t& code) {
  std::string utf8;
  try {
    utf8 = CodePageToUtf8(bytes, codePage);
  } catch (const std::invalid_argument&) {
    return false;
  }
  return OneCharOf(utf8, code) && code != U'?' && code != U'\uFFFD';
}

}  // namespace

std::vector<TChar> SplitChars(const std::string& text, const std::string& codePage) {
  std::vector<TChar> chars;
  const bool known = IsKnownCodePage(codePage);
  for (size_t pos = 0; pos < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[pos]);
    if (b < 0x80 || !known) {
      chars.push_back(Make(1, b < 0x80 ? b : U'?'));
      ++pos;
      continue;
    }
    const std::string_view rest(text.data() + pos, text.size() - pos);
    char32_t code = U'?';
    if (Decode(rest.substr(0, 1), codePage, code)) {
      chars.push_back(Make(1, code));
      ++pos;
      continue;
    }
    if (rest.size() > 1 && Decode(rest.substr(0, 2), codePage, code)) {
      chars.push_back(Make(2, code));
      pos += 2;
      continue;
    }
    chars.push_back(Make(1, U'?'));
    ++pos;
  }
  return chars;
}

std::vector<std::vector<TChar>> WrapChars(const std::vector<TChar>& chars, int columns) {
  std::vector<std::vector<TChar>> lines(1);
  int used = 0;
  for (const TChar& c : chars) {
    if (used + c.Columns > columns && used > 0) {
      lines.emplace_back();
      used = 0;
    }
    lines.back().push_back(c);
    used += c.Columns;
  }
  return lines;
}

}  // namespace ooa::escpos
