// The 8-bit code pages of the Windows edition, through the system's own
// conversion (MultiByteToWideChar / WideCharToMultiByte). The settings name a
// code page as iconv does; the name is mapped to the system's number.
#include "config/TextCodec.h"

#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>
#include <stdexcept>

#include "config/win/WideText.h"

namespace ooa {

namespace {

constexpr UINT kUtf8 = 65001;

// Upper case, without '-', '_' and blanks: "shift-jis" -> "SHIFTJIS".
std::string Folded(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (c == '-' || c == '_' || c == ' ') continue;
    out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  }
  return out;
}

// The digits after `prefix`, as a number.
std::optional<UINT> NumberAfter(const std::string& folded, const char* prefix) {
  const std::string p = prefix;
  if (folded.size() <= p.size() || folded.compare(0, p.size(), p) != 0) return std::nullopt;
  UINT n = 0;
  for (size_t i = p.size(); i < folded.size(); ++i) {
    if (folded[i] < '0' || folded[i] > '9' || n > 100000) return std::nullopt;
    n = n * 10 + static_cast<UINT>(folded[i] - '0');
  }
  return n;
}

std::optional<UINT> CodePageNumber(const std::string& name) {
  const std::string f = Folded(name);
  if (f.empty()) return std::nullopt;
  struct TNamed {
    const char* Name;
    UINT Number;
  };
  static const TNamed kNamed[] = {
      {"UTF8", kUtf8},         {"GBK", 936},           {"GB2312", 936},      {"EUCCN", 936},
      {"GB18030", 54936},      {"BIG5", 950},          {"BIG5HKSCS", 951},   {"SHIFTJIS", 932},
      {"SJIS", 932},           {"MSKANJI", 932},       {"EUCJP", 20932},     {"EUCKR", 51949},
      {"UHC", 949},            {"JOHAB", 1361},        {"KOI8R", 20866},     {"KOI8U", 21866},
      {"TIS620", 874},         {"ASCII", 20127},       {"USASCII", 20127},   {"ANSIX3.41968", 20127},
      {"LATIN1", 28591},       {"LATIN2", 28592},      {"LATIN3", 28593},    {"LATIN4", 28594},
      {"LATIN5", 28599},       {"LATIN9", 28605},      {"CYRILLIC", 28595},  {"ARABIC", 28596},
      {"GREEK", 28597},        {"HEBREW", 28598},      {"MACINTOSH", 10000}, {"MAC", 10000},
  };
  for (const TNamed& n : kNamed)
    if (f == n.Name) return n.Number;
  // ISO-8859-n: the system numbers them 28591..28606.
  if (const auto n = NumberAfter(f, "ISO8859"); n && *n >= 1 && *n <= 16) return 28590 + *n;
  for (const char* prefix : {"CP", "IBM", "WINDOWS", "MS"}) {
    // Not the Unicode forms: the receipt text is 8-bit.
    if (const auto n = NumberAfter(f, prefix); n && *n != 1200 && *n != 1201 && *n != 12000 && *n != 12001) return n;
  }
  return std::nullopt;
}

// The code page's number; throws for one the system does not have.
UINT KnownCodePage(const std::string& name) {
  const auto number = CodePageNumber(name);
  if (!number || !IsValidCodePage(*number)) throw std::invalid_argument("Unknown code page: " + name);
  return *number;
}

// Code pages for which WideCharToMultiByte takes no flags and no default
// character (the system's documented list).
bool TakesNoFlags(UINT cp) {
  return cp == 42 || cp == 54936 || cp == 65000 || cp == kUtf8 || (cp >= 50220 && cp <= 50229) ||
         (cp >= 57002 && cp <= 57011);
}

// The UTF-8 text with '?' for each malformed sequence.
std::string WithMarks(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = Utf8SkipLength(utf8, i);
    if (n == 1 && static_cast<unsigned char>(utf8[i]) >= 0x80) {
      out.push_back('?');
    } else {
      out.append(utf8.substr(i, n));
    }
    i += n;
  }
  return out;
}

// One conversion to wide characters; false when the bytes hold a sequence
// the code page does not define.
bool ToWide(UINT cp, std::string_view bytes, std::wstring& out) {
  out.clear();
  if (bytes.empty()) return true;
  const int n = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return false;
  out.resize(static_cast<size_t>(n));
  return MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), out.data(), n) == n;
}

}  // namespace

std::string Utf8ToCodePage(std::string_view utf8, const std::string& codePage) {
  const UINT cp = KnownCodePage(codePage);
  const std::string text = WithMarks(utf8);
  if (cp == kUtf8) return text;
  std::wstring wide = Widen(text);
  if (wide.empty()) return {};
  if (cp != 54936 && cp != 65000) {
    // Only the Unicode forms hold characters beyond the 16-bit range; the
    // system would write a '?' for each half of one.
    std::wstring single;
    single.reserve(wide.size());
    for (size_t k = 0; k < wide.size(); ++k) {
      const bool pair = wide[k] >= 0xD800 && wide[k] <= 0xDBFF && k + 1 < wide.size() && wide[k + 1] >= 0xDC00 &&
                        wide[k + 1] <= 0xDFFF;
      single.push_back(pair ? L'?' : wide[k]);
      if (pair) ++k;
    }
    wide = std::move(single);
  }
  const DWORD flags = TakesNoFlags(cp) ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* unknown = TakesNoFlags(cp) ? nullptr : "?";
  const int n = WideCharToMultiByte(cp, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, unknown, nullptr);
  if (n <= 0) return std::string(wide.size(), '?');
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(cp, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n, unknown, nullptr);
  return out;
}

// The system's tables give the bytes a code page leaves unassigned (0x81 in
// CP1252) the C1 control of the same number; only the ISO 8859 pages and
// UTF-8 really hold those controls.
bool HoldsC1Controls(UINT cp) { return cp == kUtf8 || (cp >= 28591 && cp <= 28606); }

std::string MarkUnassigned(UINT cp, std::wstring wide) {
  if (!HoldsC1Controls(cp)) {
    for (wchar_t& c : wide)
      if (c >= 0x80 && c <= 0x9F) c = L'?';
  }
  return Narrow(wide);
}

std::string CodePageToUtf8(std::string_view bytes, const std::string& codePage) {
  const UINT cp = KnownCodePage(codePage);
  std::wstring wide;
  if (ToWide(cp, bytes, wide)) return MarkUnassigned(cp, wide);
  // A byte sequence the code page does not define: '?' for it, one byte at a
  // time, and the shortest well-formed sequence (at most four bytes) otherwise.
  std::wstring out;
  size_t i = 0;
  while (i < bytes.size()) {
    size_t len = 0;
    for (size_t k = 1; k <= 4 && i + k <= bytes.size(); ++k) {
      if (ToWide(cp, bytes.substr(i, k), wide)) {
        len = k;
        break;
      }
    }
    if (len == 0) {
      out.push_back(L'?');
      ++i;
    } else {
      out += wide;
      i += len;
    }
  }
  return MarkUnassigned(cp, out);
}

bool IsKnownCodePage(const std::string& codePage) {
  const auto number = CodePageNumber(codePage);
  return number && IsValidCodePage(*number);
}

}  // namespace ooa
