#include "escpos-view/CodePageText.h"

#include <iconv.h>

#include <cerrno>

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

// One conversion descriptor from the code page to UTF-32 (little endian).
class TDecoder {
 public:
  explicit TDecoder(const std::string& codePage) : Cd(iconv_open("UTF-32LE", codePage.c_str())) {}
  ~TDecoder() {
    if (Valid()) iconv_close(Cd);
  }
  TDecoder(const TDecoder&) = delete;
  TDecoder& operator=(const TDecoder&) = delete;
  bool Valid() const { return Cd != reinterpret_cast<iconv_t>(-1); }

  // Converts exactly `length` bytes into one character; false when they are
  // not one whole character (errno EINVAL: a lead byte that needs more).
  bool One(const char* bytes, size_t length, char32_t& code, bool& incomplete) {
    iconv(Cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes);
    size_t inLeft = length;
    unsigned char out[16];
    char* o = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    incomplete = false;
    if (iconv(Cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) {
      incomplete = errno == EINVAL;
      return false;
    }
    if (sizeof out - outLeft != 4) return false;  // none, or more than one character
    code = static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<uint32_t>(out[3]) << 24));
    return true;
  }

 private:
  iconv_t Cd;
};

}  // namespace

std::vector<TChar> SplitChars(const std::string& text, const std::string& codePage) {
  std::vector<TChar> chars;
  TDecoder decoder(codePage);
  for (size_t pos = 0; pos < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[pos]);
    if (b < 0x80 || !decoder.Valid()) {
      chars.push_back(Make(1, b < 0x80 ? b : U'?'));
      ++pos;
      continue;
    }
    char32_t code = U'?';
    bool incomplete = false;
    if (decoder.One(text.data() + pos, 1, code, incomplete)) {
      chars.push_back(Make(1, code));
      ++pos;
      continue;
    }
    if (pos + 1 < text.size() && decoder.One(text.data() + pos, 2, code, incomplete)) {
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
