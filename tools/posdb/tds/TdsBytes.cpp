// TDS byte helpers and text conversions (see TdsBytes.h).
#include "tds/TdsBytes.h"

#include <vector>

namespace ooa::tds {

namespace {

// Decodes UTF-8 into code points; bad sequences become U+FFFD.
std::vector<uint32_t> CodePoints(const std::string& s) {
  std::vector<uint32_t> out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = 0;
    uint32_t cp = 0, min = 0;
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, cp = b & 0x07, min = 0x10000;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    bool ok = true;
    for (int k = 1; ok && k <= extra; ++k) {
      if (i + static_cast<size_t>(k) >= s.size()) {
        ok = false;
        break;
      }
      const auto c = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((c & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Code page 1252's characters 0x80..0x9F (0 where it has none).
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

std::string Utf16FromUtf8(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  auto unit = [&](uint32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>((u >> 8) & 0xFF);
  };
  for (uint32_t cp : CodePoints(utf8)) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      unit(0xD800 + (cp >> 10));
      unit(0xDC00 + (cp & 0x3FF));
    } else {
      unit(cp);
    }
  }
  return out;
}

std::string Utf8FromUtf16(const char* data, size_t bytes) {
  std::string out;
  out.reserve(bytes);
  auto at = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<unsigned char>(data[i])) |
           (static_cast<uint32_t>(static_cast<unsigned char>(data[i + 1])) << 8);
  };
  for (size_t i = 0; i + 1 < bytes; i += 2) {
    uint32_t u = at(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes && at(i + 2) >= 0xDC00 && at(i + 2) <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (at(i + 2) - 0xDC00);
      i += 2;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      u = 0xFFFD;
    }
    AppendUtf8(out, u);
  }
  return out;
}

std::string Cp1252FromUtf8(const std::string& utf8) {
  std::string out;
  for (uint32_t cp : CodePoints(utf8)) {
    char c = '?';
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      c = static_cast<char>(cp);
    } else {
      for (int k = 0; k < 32; ++k)
        if (kCp1252High[k] != 0 && kCp1252High[k] == cp) c = static_cast<char>(0x80 + k);
    }
    out += c;
  }
  return out;
}

void TBytes::BVarChar(const std::string& utf8) {
  std::string u = Utf16FromUtf8(utf8);
  if (u.size() > 510) u.resize(510);
  U8(static_cast<uint8_t>(u.size() / 2));
  Data += u;
}

void TBytes::UsVarChar(const std::string& utf8) {
  std::string u = Utf16FromUtf8(utf8);
  if (u.size() > 131070) u.resize(131070);
  U16(static_cast<uint16_t>(u.size() / 2));
  Data += u;
}

void TBytes::PatchU16(size_t pos, uint16_t v) {
  Data[pos] = static_cast<char>(v & 0xFF);
  Data[pos + 1] = static_cast<char>(v >> 8);
}

uint8_t TReader::U8() {
  Need(1);
  return static_cast<uint8_t>(D[Pos++]);
}

uint16_t TReader::U16() {
  uint16_t lo = U8();
  return static_cast<uint16_t>(lo | (U8() << 8));
}

uint32_t TReader::U32() {
  uint32_t lo = U16();
  return lo | (static_cast<uint32_t>(U16()) << 16);
}

uint16_t TReader::U16BigEndian() {
  uint16_t hi = U8();
  return static_cast<uint16_t>((hi << 8) | U8());
}

void TReader::Skip(size_t n) {
  Need(n);
  Pos += n;
}

}  // namespace ooa::tds
