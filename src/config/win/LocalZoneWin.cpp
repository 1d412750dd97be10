// The local zone on Windows: a POSIX zone text in TZ when one is set (the C
// library's TZ, which tests and service wrappers use), otherwise the zone of
// the machine's settings, with the rules of each year.
#include "config/LocalZone.h"

#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string_view>

#include "config/DateTime.h"

namespace ooa {

namespace {

// A transition date of a POSIX rule and the local time it happens at.
struct TRuleDate {
  enum TKind { Julian1, Julian0, MonthWeekDay } Kind = MonthWeekDay;
  int A = 0, B = 0, C = 0;  // day | day | month, week, weekday
  long Time = 7200;         // seconds after local midnight
};

struct TPosixZone {
  long StdEast = 0;  // offset east of UTC, standard time
  bool HasDst = false;
  long DstEast = 0;
  TRuleDate Start, End;
};

class TReader {
 public:
  explicit TReader(std::string_view s) : S(s) {}
  bool AtEnd() const { return I >= S.size(); }
  bool Take(char c) {
    if (I < S.size() && S[I] == c) return ++I, true;
    return false;
  }
  bool Name() {
    if (Take('<')) {
      while (I < S.size() && S[I] != '>') ++I;
      return Take('>');
    }
    const size_t from = I;
    while (I < S.size() && ((S[I] >= 'A' && S[I] <= 'Z') || (S[I] >= 'a' && S[I] <= 'z'))) ++I;
    return I - from >= 3;
  }
  std::optional<int> Number(int maxDigits) {
    int n = 0, digits = 0;
    while (I < S.size() && S[I] >= '0' && S[I] <= '9' && digits < maxDigits) n = n * 10 + (S[I++] - '0'), ++digits;
    if (digits == 0) return std::nullopt;
    return n;
  }
  // [+-]hh[:mm[:ss]] in seconds.
  std::optional<long> Time() {
    long sign = 1;
    if (Take('-')) {
      sign = -1;
    } else {
      Take('+');
    }
    const auto h = Number(3);
    if (!h) return std::nullopt;
    long seconds = *h * 3600L;
    if (Take(':')) {
      const auto m = Number(2);
      if (!m) return std::nullopt;
      seconds += *m * 60L;
      if (Take(':')) {
        const auto sec = Number(2);
        if (!sec) return std::nullopt;
        seconds += *sec;
      }
    }
    return sign * seconds;
  }
  std::optional<TRuleDate> Date() {
    TRuleDate d;
    if (Take('J')) {
      const auto n = Number(3);
      if (!n || *n < 1 || *n > 365) return std::nullopt;
      d.Kind = TRuleDate::Julian1, d.A = *n;
    } else if (Take('M')) {
      const auto m = Number(2);
      if (!m || !Take('.')) return std::nullopt;
      const auto w = Number(1);
      if (!w || !Take('.')) return std::nullopt;
      const auto wd = Number(1);
      if (!wd || *m < 1 || *m > 12 || *w < 1 || *w > 5 || *wd > 6) return std::nullopt;
      d.Kind = TRuleDate::MonthWeekDay, d.A = *m, d.B = *w, d.C = *wd;
    } else {
      const auto n = Number(3);
      if (!n || *n > 365) return std::nullopt;
      d.Kind = TRuleDate::Julian0, d.A = *n;
    }
    if (Take('/')) {
      const auto t = Time();
      if (!t) return std::nullopt;
      d.Time = *t;
    }
    return d;
  }

 private:
  std::string_view S;
  size_t I = 0;
};

std::optional<TPosixZone> ParsePosixZone(std::string_view text) {
  if (!text.empty() && text.front() == ':') return std::nullopt;  // a zone file name
  TReader r(text);
  TPosixZone z;
  if (!r.Name()) return std::nullopt;
  const auto standard = r.Time();
  if (!standard) return std::nullopt;
  z.StdEast = -*standard;
  if (r.AtEnd()) return z;
  if (!r.Name()) return std::nullopt;
  z.HasDst = true;
  z.DstEast = z.StdEast + 3600;
  if (!r.AtEnd() && !r.Take(',')) {
    const auto dst = r.Time();
    if (!dst) return std::nullopt;
    z.DstEast = -*dst;
    if (r.AtEnd()) {
      // No rule: the C library's default, the United States' rule.
      z.Start = {TRuleDate::MonthWeekDay, 3, 2, 0, 7200};
      z.End = {TRuleDate::MonthWeekDay, 11, 1, 0, 7200};
      return z;
    }
    if (!r.Take(',')) return std::nullopt;
  } else if (r.AtEnd()) {
    z.Start = {TRuleDate::MonthWeekDay, 3, 2, 0, 7200};
    z.End = {TRuleDate::MonthWeekDay, 11, 1, 0, 7200};
    return z;
  }
  const auto start = r.Date();
  if (!start || !r.Take(',')) return std::nullopt;
  const auto end = r.Date();
  if (!end || !r.AtEnd()) return std::nullopt;
  z.Start = *start;
  z.End = *end;
  return z;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int MonthLength(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Days since 1970-01-01 of the rule's date in year y.
int64_t DayOf(const TRuleDate& d, int y) {
  const int64_t jan1 = DaysFromCivil(y, 1, 1);
  switch (d.Kind) {
    case TRuleDate::Julian1:
      return jan1 + d.A - 1 + (IsLeap(y) && d.A >= 60 ? 1 : 0);
    case TRuleDate::Julian0:
      return jan1 + d.A;
    case TRuleDate::MonthWeekDay:
      break;
  }
  const int64_t first = DaysFromCivil(y, d.A, 1);
  const int weekday = static_cast<int>(((first % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
  int day = 1 + (d.C - weekday + 7) % 7 + (d.B - 1) * 7;
  while (day > MonthLength(y, d.A)) day -= 7;
  return first + day - 1;
}

long PosixOffset(const TPosixZone& z, int64_t t) {
  if (!z.HasDst) return z.StdEast;
  int y, m, d;
  CivilFromDays((t + z.StdEast) >= 0 ? (t + z.StdEast) / 86400 : -((-(t + z.StdEast) + 86399) / 86400), y, m, d);
  // The start is given in standard time, the end in summer time.
  const int64_t start = DayOf(z.Start, y) * 86400 + z.Start.Time - z.StdEast;
  const int64_t end = DayOf(z.End, y) * 86400 + z.End.Time - z.DstEast;
  const bool summer = start < end ? (t >= start && t < end) : (t >= start || t < end);
  return summer ? z.DstEast : z.StdEast;
}

// The machine's zone, with the rules in force in the year of the instant.
long SystemOffset(int64_t t) {
  const int64_t ticks = (t + 11644473600LL) * 10000000LL;  // 100 ns since 1601
  FILETIME ft{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32)};
  SYSTEMTIME utc{}, local{};
  if (!FileTimeToSystemTime(&ft, &utc)) return 0;
  // The zone's rules of that year (GetTimeZoneInformationForYear), else the
  // rules in force now. SystemTimeToTzSpecificLocalTimeEx would do both in
  // one, but Wine does not implement it and the process would end there.
  TIME_ZONE_INFORMATION zone{};
  const bool ofYear = GetTimeZoneInformationForYear(utc.wYear, nullptr, &zone);
  if (!SystemTimeToTzSpecificLocalTime(ofYear ? &zone : nullptr, &utc, &local)) return 0;
  FILETIME lft{};
  if (!SystemTimeToFileTime(&local, &lft)) return 0;
  const int64_t localTicks = (static_cast<int64_t>(lft.dwHighDateTime) << 32) | lft.dwLowDateTime;
  return static_cast<long>((localTicks - ticks) / 10000000LL);
}

}  // namespace

void RefreshLocalZone() {}

long LocalUtcOffset(int64_t unixSeconds) {
  const char* tz = std::getenv("TZ");
  if (tz && *tz) {
    if (const auto zone = ParsePosixZone(tz)) return PosixOffset(*zone, unixSeconds);
  }
  return SystemOffset(unixSeconds);
}

}  // namespace ooa
