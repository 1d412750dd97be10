// TDateTime: a point in time as whole days since 1899-12-30 plus the time of day
// as fraction (25569.0 is 1970-01-01 00:00). The POS database, the settings and
// the receipts all speak this form; whether a value is local or UTC is up to
// the holder (the POS keeps local time, the shop is read in UTC).
// A plain value type: copy freely between threads.
#pragma once

#include <compare>
#include <cstdint>

namespace ooa {

struct TCivilTime {
  int Year = 1899, Month = 12, Day = 30;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

struct TDateTime {
  double Value = 0.0;

  constexpr TDateTime() = default;
  constexpr explicit TDateTime(double v) : Value(v) {}

  static TDateTime FromCivil(const TCivilTime& c);
  static TDateTime FromCivil(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0);
  // Seconds since 1970-01-01 00:00 on the same (unzoned) scale.
  static TDateTime FromUnixSeconds(double seconds);

  // Broken down to the millisecond (rounded to the nearest millisecond).
  TCivilTime ToCivil() const;
  double ToUnixSeconds() const;

  TDateTime AddSeconds(double s) const { return TDateTime(Value + s / 86400.0); }
  TDateTime DateOnly() const;

  // Ordering to the millisecond, so values read back from text compare equal.
  int64_t TotalMilliseconds() const;
  friend bool operator==(const TDateTime& a, const TDateTime& b) {
    return a.TotalMilliseconds() == b.TotalMilliseconds();
  }
  friend auto operator<=>(const TDateTime& a, const TDateTime& b) {
    return a.TotalMilliseconds() <=> b.TotalMilliseconds();
  }
};

// Days between 1970-01-01 and the given civil date (negative before).
int64_t DaysFromCivil(int y, int m, int d);
void CivilFromDays(int64_t days, int& y, int& m, int& d);

}  // namespace ooa
