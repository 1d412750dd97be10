// How SQL Server writes numbers and date-times as text, read and written the
// one way for every session backend and the embedded engine.
#include "db/session/SqlText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ooa {

std::string SqlFloatText(double v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  if (v == 0) return "0";
  // A whole number below 1e15 is its own 15-digit rounding; written here the
  // way the general path below writes it, the shorter of 1500 and 1.5E3 (the
  // plain one on a tie), without its two conversions. Most numbers a POS row
  // holds are whole.
  if (std::fabs(v) < 1e15 && v == std::trunc(v)) {
    char digits[24];
    const auto whole = static_cast<long long>(std::fabs(v));
    const auto end = std::to_chars(digits, digits + sizeof digits, whole).ptr;
    const int d = static_cast<int>(end - digits);
    int significant = d;
    while (significant > 1 && digits[significant - 1] == '0') --significant;
    // As the shortest text would have it: "1.5e+03", two digits of exponent at least.
    const int exponentForm = significant + (significant > 1 ? 1 : 0) + 4;
    std::string s = v < 0 ? "-" : "";
    if (d <= exponentForm) {
      s.append(digits, end);
    } else {
      s += digits[0];
      if (significant > 1) {
        s += '.';
        s.append(digits + 1, digits + significant);
      }
      s += 'E';
      s += std::to_string(d - 1);
    }
    return s;
  }
  // Rounded to 15 significant digits, then the shortest text that reads back as that.
  // (std::to_chars with a precision writes what printf's "%.15g" writes.)
  char buf[64];
  auto rounded = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  double r = v;
  std::from_chars(buf, rounded.ptr, r);
  auto res = std::to_chars(buf, buf + sizeof buf, r);
  std::string s(buf, res.ptr);
  // "1e-05" -> "1E-5", "1.5e+20" -> "1.5E20".
  auto e = s.find('e');
  if (e != std::string::npos) {
    std::string mant = s.substr(0, e);
    std::string ex = s.substr(e + 1);
    bool neg = !ex.empty() && ex[0] == '-';
    size_t i = (!ex.empty() && (ex[0] == '-' || ex[0] == '+')) ? 1 : 0;
    while (i + 1 < ex.size() && ex[i] == '0') ++i;
    s = mant + "E" + (neg ? "-" : "") + ex.substr(i);
  }
  return s;
}

bool ReadSqlNumber(std::string_view text, TSqlNumber& out) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t' || text[b] == '\r' || text[b] == '\n')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t' || text[e - 1] == '\r' || text[e - 1] == '\n')) --e;
  if (b == e) return false;
  std::string s(text.substr(b, e - b));
  bool isInt = true;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if ((c == '-' || c == '+') && i == 0) continue;
    if (c < '0' || c > '9') {
      isInt = false;
      break;
    }
  }
  if (isInt && s.size() > ((s[0] == '-' || s[0] == '+') ? 1u : 0u)) {
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno == 0 && end && *end == 0) {
      out = TSqlNumber{true, v, 0.0};
      return true;
    }
  }
  for (char c : s)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  char* end = nullptr;
  double d = std::strtod(s.c_str(), &end);
  if (!end || *end != 0) return false;
  out = TSqlNumber{false, 0, d};
  return true;
}

bool ReadFixedDigits(std::string_view s, size_t pos, size_t count, int& out) {
  if (pos + count > s.size()) return false;
  int v = 0;
  for (size_t i = 0; i < count; ++i) {
    char c = s[pos + i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  out = v;
  return true;
}

namespace {

bool ValidDate(int y, int m, int d) {
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  static const int dim[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int max = dim[m - 1];
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) max = 29;
  return d <= max;
}

// Reads "hh:mm[:ss[.fff]]" at pos up to the end of s.
bool ParseTime(std::string_view s, size_t pos, int& h, int& mi, int& sec, int& ms) {
  h = mi = sec = ms = 0;
  size_t p = pos;
  auto num = [&](int& out) {
    size_t start = p;
    int v = 0;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9' && p - start < 2) v = v * 10 + (s[p++] - '0');
    out = v;
    return p > start;
  };
  if (!num(h)) return false;
  if (p >= s.size() || s[p] != ':') return false;
  ++p;
  if (!num(mi)) return false;
  if (p < s.size() && s[p] == ':') {
    ++p;
    if (!num(sec)) return false;
    if (p < s.size() && s[p] == '.') {
      ++p;
      int digits = 0, v = 0;
      while (p < s.size() && s[p] >= '0' && s[p] <= '9') {
        if (digits < 3) {
          v = v * 10 + (s[p] - '0');
          ++digits;
        }
        ++p;
      }
      if (digits == 0) return false;
      while (digits < 3) {
        v *= 10;
        ++digits;
      }
      ms = v;
    }
  }
  while (p < s.size() && s[p] == ' ') ++p;
  if (p != s.size()) return false;
  return h < 24 && mi < 60 && sec < 60;
}

}  // namespace

std::string CanonicalDateTime(int y, int mo, int d, int h, int mi, int s, int ms) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", y, mo, d, h, mi, s, ms);
  return buf;
}

bool IsSystemDateLiteral(std::string_view t) {
  int m, d, y, h, mi, s;
  if (t.size() != 10 && t.size() != 19) return false;
  if (!ReadFixedDigits(t, 0, 2, m) || t[2] != '/' || !ReadFixedDigits(t, 3, 2, d) || t[5] != '/' || !ReadFixedDigits(t, 6, 4, y)) return false;
  if (!ValidDate(y, m, d)) return false;
  if (t.size() == 10) return true;
  return t[10] == ' ' && ReadFixedDigits(t, 11, 2, h) && t[13] == ':' && ReadFixedDigits(t, 14, 2, mi) && t[16] == ':' &&
         ReadFixedDigits(t, 17, 2, s) && h < 24 && mi < 60 && s < 60;
}

bool ReadSqlDateTime(std::string_view text, std::string& canonical) {
  size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  std::string_view t = text.substr(b, e - b);
  int y = 0, m = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  size_t rest = std::string_view::npos;
  if (t.size() >= 10 && t[4] == '-' && t[7] == '-' && ReadFixedDigits(t, 0, 4, y) && ReadFixedDigits(t, 5, 2, m) && ReadFixedDigits(t, 8, 2, d)) {
    rest = 10;
  } else if (t.size() >= 8 && t[2] == '/' && ReadFixedDigits(t, 0, 2, m)) {
    // mm/dd/yyyy, also m/d/yyyy
    size_t p = 0;
    auto num = [&](int& out, size_t maxd) {
      size_t st = p;
      int v = 0;
      while (p < t.size() && t[p] >= '0' && t[p] <= '9' && p - st < maxd) v = v * 10 + (t[p++] - '0');
      out = v;
      return p > st;
    };
    if (!num(m, 2) || p >= t.size() || t[p++] != '/' || !num(d, 2) || p >= t.size() || t[p++] != '/' || !num(y, 4))
      return false;
    rest = p;
  } else if (t.size() == 8 && ReadFixedDigits(t, 0, 4, y) && ReadFixedDigits(t, 4, 2, m) && ReadFixedDigits(t, 6, 2, d)) {
    rest = 8;
  } else {
    return false;
  }
  if (!ValidDate(y, m, d)) return false;
  if (rest < t.size()) {
    char sep = t[rest];
    if (sep != ' ' && sep != 'T') return false;
    size_t p = rest + 1;
    while (p < t.size() && t[p] == ' ') ++p;
    if (!ParseTime(t, p, h, mi, s, ms)) return false;
  }
  canonical = CanonicalDateTime(y, m, d, h, mi, s, ms);
  return true;
}

}  // namespace ooa
