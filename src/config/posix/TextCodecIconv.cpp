// The 8-bit code pages of the Linux edition, through iconv.
#include "config/TextCodec.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace ooa {

namespace {

class TIconv {
 public:
  TIconv(const std::string& to, const std::string& from) : Handle(iconv_open(to.c_str(), from.c_str())) {
    if (Handle == reinterpret_cast<iconv_t>(-1)) {
      throw std::invalid_argument("Unknown code page: " + (to == "UTF-8" ? from : to));
    }
  }
  ~TIconv() { iconv_close(Handle); }
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;

  // Converts input; on a byte sequence it cannot convert, writes '?' and skips
  // `skip(input, position)` bytes.
  template <typename Skip>
  std::string Convert(std::string_view input, Skip skip) {
    std::string out;
    char buffer[4096];
    size_t pos = 0;
    while (pos < input.size()) {
      char* in = const_cast<char*>(input.data() + pos);
      size_t inLeft = input.size() - pos;
      char* o = buffer;
      size_t outLeft = sizeof buffer;
      const size_t rc = iconv(Handle, &in, &inLeft, &o, &outLeft);
      const int err = errno;
      out.append(buffer, static_cast<size_t>(o - buffer));
      pos = input.size() - inLeft;
      if (rc != static_cast<size_t>(-1)) continue;
      if (err == E2BIG) continue;
      // EILSEQ or EINVAL: an unconvertible or incomplete sequence.
      out.push_back('?');
      pos += skip(input, pos);
      iconv(Handle, nullptr, nullptr, nullptr, nullptr);
    }
    // Flush any shift state.
    char* o = buffer;
    size_t outLeft = sizeof buffer;
    iconv(Handle, nullptr, nullptr, &o, &outLeft);
    out.append(buffer, static_cast<size_t>(o - buffer));
    return out;
  }

 private:
  iconv_t Handle;
};

}  // namespace

std::string Utf8ToCodePage(std::string_view utf8, const std::string& codePage) {
  TIconv conv(codePage, "UTF-8");
  return conv.Convert(utf8, Utf8SkipLength);
}

std::string CodePageToUtf8(std::string_view bytes, const std::string& codePage) {
  TIconv conv("UTF-8", codePage);
  return conv.Convert(bytes, [](std::string_view, size_t) { return size_t{1}; });
}

bool IsKnownCodePage(const std::string& codePage) {
  if (codePage.empty()) return false;
  const iconv_t a = iconv_open(codePage.c_str(), "UTF-8");
  if (a == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(a);
  const iconv_t b = iconv_open("UTF-8", codePage.c_str());
  if (b == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(b);
  return true;
}

}  // namespace ooa
