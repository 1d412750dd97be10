#include "support/FixedClock.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

namespace ooa::test {

namespace {

void SetTz(const std::string* tz) {
#ifdef _WIN32
  ::_putenv_s("TZ", tz ? tz->c_str() : "");
  ::_tzset();
#else
  if (tz) ::setenv("TZ", tz->c_str(), 1);
  else ::unsetenv("TZ");
  ::tzset();
#endif
}

}  // namespace

TScopedTimeZone::TScopedTimeZone(const std::string& tz) {
  if (const char* old = std::getenv("TZ")) Previous = old;
  SetTz(&tz);
}

TScopedTimeZone::~TScopedTimeZone() {
  SetTz(Previous ? &*Previous : nullptr);
}

TFixedClock::TFixedClock(TDateTime nowUtc, int utcOffsetMinutes) : Now(nowUtc), OffsetMinutes(utcOffsetMinutes) {}

TFixedClock::TFixedClock(TDateTime nowUtc, const std::string& tz) : Now(nowUtc), Zone(new TScopedTimeZone(tz)) {}

TFixedClock::~TFixedClock() { delete Zone; }

void TFixedClock::Advance(double seconds) {
  Now = Now.AddSeconds(seconds);
  Ticks += static_cast<int64_t>(std::llround(seconds * 1000.0));
}

TDateTime TFixedClock::LocalToUtc(TDateTime local) const {
  if (Zone) return SystemClock().LocalToUtc(local);
  return local.AddSeconds(-OffsetMinutes * 60.0);
}

TDateTime TFixedClock::UtcToLocal(TDateTime utc) const {
  if (Zone) return SystemClock().UtcToLocal(utc);
  return utc.AddSeconds(OffsetMinutes * 60.0);
}

}  // namespace ooa::test
