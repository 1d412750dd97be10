#include "tsql/Value.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "config/DateTime.h"
#include "config/LocalZone.h"
#include "config/Utf8Count.h"
#include "db/session/SqlText.h"

namespace ooa::tsql {


std::string FormatFloat(double v) { return SqlFloatText(v); }

bool ParseNumber(std::string_view text, TValue& out) {
  TSqlNumber n;
  if (!ReadSqlNumber(text, n)) return false;
  out = n.IsInt ? TValue::MakeInt(n.Int) : TValue::MakeFloat(n.Float);
  return true;
}

std::string ValueText(const TValue& v) {
  switch (v.Kind) {
    case TValue::TKind::Null: return std::string();
    case TValue::TKind::Int: return std::to_string(v.Int);
    case TValue::TKind::Float: return FormatFloat(v.Float);
    case TValue::TKind::Text: return v.Text;
  }
  return std::string();
}


std::string_view TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return s.substr(0, n);
}

static inline unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

int CompareText(std::string_view a, std::string_view b) {
  a = TrimRight(a);
  b = TrimRight(b);
  size_t n = a.size() < b.size() ? a.size() : b.size();
  // Keys share long beginnings ("W26000123", "W26000124"): equal bytes fold
  // alike, so equal runs of eight are passed over whole.
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x != y) break;
  }
  for (; i < n; ++i) {
    unsigned char x = FoldAscii(static_cast<unsigned char>(a[i]));
    unsigned char y = FoldAscii(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int64_t CharCount(std::string_view s) { return static_cast<int64_t>(Utf8CharCount(s)); }

size_t ByteOffsetOfChar(std::string_view s, int64_t index) {
  if (index <= 0) return 0;
  int64_t seen = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (seen == index) return i;
      ++seen;
    }
  }
  return s.size();
}

std::string AsciiUpper(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return r;
}

std::string AsciiLower(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return r;
}




namespace {
const int64_t kDays1900 = DaysFromCivil(1900, 1, 1);
}

std::string DateTimeFromDays1900(double days) {
  int64_t totalMs = static_cast<int64_t>(std::llround(days * 86400000.0));
  int64_t day = totalMs / 86400000;
  int64_t rest = totalMs % 86400000;
  if (rest < 0) {
    rest += 86400000;
    --day;
  }
  int y, m, d;
  CivilFromDays(day + kDays1900, y, m, d);
  int ms = static_cast<int>(rest % 1000);
  rest /= 1000;
  return CanonicalDateTime(y, m, d, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                           static_cast<int>(rest % 60), ms);
}

double DaysSince1900(std::string_view c) {
  int y = 1900, m = 1, d = 1, h = 0, mi = 0, s = 0, ms = 0;
  ReadFixedDigits(c, 0, 4, y);
  ReadFixedDigits(c, 5, 2, m);
  ReadFixedDigits(c, 8, 2, d);
  ReadFixedDigits(c, 11, 2, h);
  ReadFixedDigits(c, 14, 2, mi);
  ReadFixedDigits(c, 17, 2, s);
  ReadFixedDigits(c, 20, 3, ms);
  double days = static_cast<double>(DaysFromCivil(y, m, d) - kDays1900);
  return days + ((h * 60.0 + mi) * 60.0 + s + ms / 1000.0) / 86400.0;
}

std::string NowCanonical() {
  auto now = std::chrono::system_clock::now();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  const int64_t secs = ms / 1000;
  const int64_t local = secs + LocalUtcOffset(secs);
  const int64_t day = local >= 0 ? local / 86400 : -((-local + 86399) / 86400);
  const int64_t second = local - day * 86400;
  int y, m, d;
  CivilFromDays(day, y, m, d);
  return CanonicalDateTime(y, m, d, static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
                           static_cast<int>(second % 60), static_cast<int>(ms % 1000));
}

}  // namespace ooa::tsql
