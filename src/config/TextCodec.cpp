#include "config/TextCodec.h"

#include <cstdint>

namespace ooa {

namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16Le(std::string& out, uint32_t cp) {
  auto unit = [&out](uint32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  if (cp < 0x10000) {
    unit(cp);
  } else {
    cp -= 0x10000;
    unit(0xD800 | (cp >> 10));
    unit(0xDC00 | (cp & 0x3FF));
  }
}

// Decodes one UTF-8 sequence at `i`; returns its length, or 0 when malformed.
size_t DecodeUtf8(std::string_view s, size_t i, uint32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  size_t len;
  uint32_t min;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

std::string Utf16LeToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  const size_t units = bytes.size() / 2;
  auto unitAt = [&bytes](size_t k) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[2 * k])) |
           (static_cast<uint32_t>(static_cast<unsigned char>(bytes[2 * k + 1])) << 8);
  };
  for (size_t k = 0; k < units; ++k) {
    const uint32_t u = unitAt(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
      const uint32_t low = unitAt(k + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++k;
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
  }
  return out;
}

std::string Utf8ToUtf16Le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  for (size_t i = 0; i < utf8.size();) {
    uint32_t cp;
    const size_t n = DecodeUtf8(utf8, i, cp);
    if (n == 0) {
      AppendUtf16Le(out, 0xFFFD);
      ++i;
    } else {
      AppendUtf16Le(out, cp);
      i += n;
    }
  }
  return out;
}

size_t Utf8SkipLength(std::string_view s, size_t i) {
  uint32_t cp;
  const size_t n = DecodeUtf8(s, i, cp);
  return n ? n : 1;
}

bool IsValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    uint32_t cp;
    const size_t n = DecodeUtf8(bytes, i, cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace ooa
