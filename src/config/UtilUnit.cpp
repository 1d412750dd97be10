#include "config/UtilUnit.h"

#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

#include "config/TextCodec.h"

namespace ooa {

namespace {

constexpr int64_t kUnixEpochMs = 25569LL * 86400000LL;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads between minDigits and maxDigits digits at pos into value.
bool ReadNumber(const std::string& s, size_t& pos, int minDigits, int maxDigits, int& value) {
  int n = 0;
  value = 0;
  while (pos < s.size() && n < maxDigits && IsDigit(s[pos])) {
    value = value * 10 + (s[pos] - '0');
    ++pos;
    ++n;
  }
  return n >= minDigits;
}

bool Expect(const std::string& s, size_t& pos, char c) {
  if (pos < s.size() && s[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
  return days[m - 1];
}

bool TryParseShopDateTime(const std::string& text, TDateTime& result) {
  size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  int y, mo, d;
  if (!ReadNumber(text, pos, 4, 4, y) || !Expect(text, pos, '-') || !ReadNumber(text, pos, 1, 2, mo) ||
      !Expect(text, pos, '-') || !ReadNumber(text, pos, 1, 2, d)) {
    return false;
  }
  if (y < 1 || mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo)) return false;
  // Whatever separates the date from the time (a blank, the shop's 'T').
  while (pos < text.size() && !IsDigit(text[pos])) ++pos;
  int h = 0, mi = 0, s = 0, ms = 0;
  if (pos < text.size()) {
    if (!ReadNumber(text, pos, 1, 2, h) || !Expect(text, pos, ':') || !ReadNumber(text, pos, 1, 2, mi)) {
      return false;
    }
    if (Expect(text, pos, ':')) {
      if (!ReadNumber(text, pos, 1, 2, s)) return false;
      if (Expect(text, pos, '.')) {
        // Milliseconds: up to three digits count, further digits are dropped.
        const size_t start = pos;
        if (!ReadNumber(text, pos, 1, 3, ms)) return false;
        for (size_t k = pos - start; k < 3; ++k) ms *= 10;
        while (pos < text.size() && IsDigit(text[pos])) ++pos;
      }
    }
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos != text.size()) return false;
    if (h > 23 || mi > 59 || s > 59) return false;
  } else if (pos > 0 && !IsBlank(text[pos - 1])) {
    // Trailing non-digits after the date without any time ("2024-03-05T").
    size_t k = pos;
    while (k > 0 && !IsDigit(text[k - 1])) --k;
    for (; k < pos; ++k) {
      if (!IsBlank(text[k])) return false;
    }
  }
  result = TDateTime::FromCivil(y, mo, d, h, mi, s, ms);
  return true;
}

std::mutex& CodePageMutex() {
  static std::mutex m;
  return m;
}

std::string& CodePageName() {
  static std::string name = "CP1252";
  return name;
}

}  // namespace

TDateTime ParseShopDateTime(const std::string& text) {
  TDateTime result;
  if (!TryParseShopDateTime(text, result)) {
    throw TConvertError("'" + text + "' is not a valid date and time");
  }
  return result;
}

std::string SqlDateTimeLiteral(TDateTime value) {
  const TCivilTime c = value.ToCivil();
  char buf[40];
  std::snprintf(buf, sizeof buf, "'%02d/%02d/%04d %02d:%02d:%02d'", c.Month, c.Day, c.Year, c.Hour, c.Minute,
                c.Second);
  return buf;
}

std::string SqlDateLiteral(TDateTime value) {
  const TCivilTime c = value.ToCivil();
  char buf[24];
  std::snprintf(buf, sizeof buf, "'%02d/%02d/%04d'", c.Month, c.Day, c.Year);
  return buf;
}

std::string SqlTextLiteral(const std::string& text) {
  if (text.empty()) return "Null";
  std::string out = "N'";
  out.reserve(text.size() + 4);
  for (char c : text) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  out.push_back('\'');
  return out;
}

std::string BoolToSqlBit(bool value) { return value ? "1" : "0"; }

double TextToAmount(const std::string& text) {
  std::string kept;
  for (char c : text) {
    if (IsDigit(c) || c == '+' || c == '-' || c == '.') {
      kept.push_back(c);
    } else if (c == '(') {
      kept.push_back('-');
    }
  }
  if (kept.empty()) return 0.0;
  // One optional sign, digits with at most one decimal point, at least one digit.
  size_t pos = 0;
  bool negative = false;
  if (kept[0] == '+' || kept[0] == '-') {
    negative = kept[0] == '-';
    pos = 1;
  }
  const std::string_view number(kept.data() + pos, kept.size() - pos);
  size_t digits = 0, points = 0;
  bool wellFormed = true;
  for (char c : number) {
    if (IsDigit(c)) {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      wellFormed = false;  // a second sign
    }
  }
  double value = 0.0;
  if (!wellFormed || digits == 0 || points > 1) {
    throw TConvertError("'" + text + "' is not a valid floating point value");
  }
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size()) {
    throw TConvertError("'" + text + "' is not a valid floating point value");
  }
  return negative ? -value : value;
}

int64_t DateTimeToUnixMs(TDateTime value) {
  const int64_t diff = value.TotalMilliseconds() - kUnixEpochMs;
  return diff < 0 ? -diff : diff;
}

void Delay(int ms) {
  if (ms <= 0) return;
  // The core has no message loop of its own; the caller's thread simply waits
  // on the monotonic clock (again when a sleep ends early, as Windows' timer
  // may make it).
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_until(deadline);
}

int IndexOfString(const std::vector<std::string>& list, const std::string& text) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] == text) return static_cast<int>(i);
  }
  return -1;
}

std::string AnsiCodePage() {
  std::lock_guard lock(CodePageMutex());
  return CodePageName();
}

void SetAnsiCodePage(const std::string& name) {
  if (!IsKnownCodePage(name)) throw std::invalid_argument("Unknown code page: " + name);
  std::lock_guard lock(CodePageMutex());
  CodePageName() = name;
}

std::string Utf8ToAnsi(const std::string& utf8) { return Utf8ToCodePage(utf8, AnsiCodePage()); }

std::string AnsiToUtf8(const std::string& ansi) { return CodePageToUtf8(ansi, AnsiCodePage()); }

std::string FloatToText(double value) {
  if (value == 0.0) return "0";  // no "-0"
  char buf[64];
  // A whole number below 1e15 has at most 15 digits: "%.15g" writes them all.
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value)).ptr;
    return std::string(buf, end);
  }
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  if (ec != std::errc()) return "0";
  return std::string(buf, end);
}

}  // namespace ooa
