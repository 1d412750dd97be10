#include "config/DateTime.h"

#include <cmath>

namespace ooa {

namespace {
constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kUnixEpochDays = 25569;  // 1970-01-01 on the day-count scale
}  // namespace

int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

TDateTime TDateTime::FromCivil(int y, int mo, int d, int h, int mi, int s, int ms) {
  const int64_t days = DaysFromCivil(y, mo, d) + kUnixEpochDays;
  const int64_t msOfDay = ((static_cast<int64_t>(h) * 60 + mi) * 60 + s) * 1000 + ms;
  return TDateTime(static_cast<double>(days) + static_cast<double>(msOfDay) / kMsPerDay);
}

TDateTime TDateTime::FromCivil(const TCivilTime& c) {
  return FromCivil(c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second, c.Millisecond);
}

TDateTime TDateTime::FromUnixSeconds(double seconds) {
  return TDateTime(kUnixEpochDays + seconds / 86400.0);
}

int64_t TDateTime::TotalMilliseconds() const {
  return static_cast<int64_t>(std::llround(Value * kMsPerDay));
}

TCivilTime TDateTime::ToCivil() const {
  const int64_t total = TotalMilliseconds();
  int64_t days = total / kMsPerDay;
  int64_t rest = total % kMsPerDay;
  if (rest < 0) {
    rest += kMsPerDay;
    --days;
  }
  TCivilTime c;
  CivilFromDays(days - kUnixEpochDays, c.Year, c.Month, c.Day);
  c.Millisecond = static_cast<int>(rest % 1000);
  rest /= 1000;
  c.Second = static_cast<int>(rest % 60);
  rest /= 60;
  c.Minute = static_cast<int>(rest % 60);
  c.Hour = static_cast<int>(rest / 60);
  return c;
}

double TDateTime::ToUnixSeconds() const {
  return static_cast<double>(TotalMilliseconds() - kUnixEpochDays * kMsPerDay) / 1000.0;
}

TDateTime TDateTime::DateOnly() const {
  const TCivilTime c = ToCivil();
  return FromCivil(c.Year, c.Month, c.Day);
}

}  // namespace ooa
