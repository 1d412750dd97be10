// Local/UTC conversion of the system clock under real time-zone rules
// (POSIX TZ texts, so no zone database is needed), and the replaceable clock.
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "config/Clock.h"
#include "support/FixedClock.h"

namespace ooa {
namespace {

using test::TFixedClock;
using test::TScopedClock;
using test::TScopedTimeZone;

constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr const char* kUsEastern = "EST5EDT,M3.2.0,M11.1.0";

TDateTime At(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
  return TDateTime::FromCivil(y, mo, d, h, mi, s, ms);
}

TEST(SystemClock, LocalToUtcAcrossTheYear) {
  struct Case {
    const char* Zone;
    TDateTime Local;
    TDateTime Utc;
    const char* What;
  };
  const Case cases[] = {
      {kCentralEurope, At(2024, 1, 15, 10, 0, 0, 250), At(2024, 1, 15, 9, 0, 0, 250), "winter"},
      {kCentralEurope, At(2024, 7, 1, 14, 0), At(2024, 7, 1, 12, 0), "summer"},
      {kCentralEurope, At(2024, 10, 27, 2, 30), At(2024, 10, 27, 0, 30), "repeated hour: earlier instant"},
      {kCentralEurope, At(2024, 3, 31, 2, 30), At(2024, 3, 31, 1, 0), "skipped hour: where the gap begins"},
      {kCentralEurope, At(2024, 3, 31, 3, 0), At(2024, 3, 31, 1, 0), "first reading after the gap"},
      {kUsEastern, At(2024, 11, 3, 1, 30), At(2024, 11, 3, 5, 30), "repeated hour: earlier instant"},
      {kUsEastern, At(2024, 3, 10, 2, 15), At(2024, 3, 10, 7, 0), "skipped hour: where the gap begins"},
      {kUsEastern, At(2024, 3, 5, 9, 7, 9), At(2024, 3, 5, 14, 7, 9), "winter"},
      {"UTC0", At(2024, 3, 5, 9, 7, 9), At(2024, 3, 5, 9, 7, 9), "no offset"},
  };
  for (const Case& k : cases) {
    TScopedTimeZone zone(k.Zone);
    EXPECT_EQ(SystemClock().LocalToUtc(k.Local).TotalMilliseconds(), k.Utc.TotalMilliseconds())
        << k.Zone << ": " << k.What;
  }
}

TEST(SystemClock, UtcToLocalAndNow) {
  TScopedTimeZone zone(kCentralEurope);
  EXPECT_EQ(SystemClock().UtcToLocal(At(2024, 10, 27, 0, 30)), At(2024, 10, 27, 2, 30));
  EXPECT_EQ(SystemClock().UtcToLocal(At(2024, 10, 27, 1, 30)), At(2024, 10, 27, 2, 30));
  EXPECT_EQ(SystemClock().UtcToLocal(At(2024, 1, 15, 9, 0, 0, 250)), At(2024, 1, 15, 10, 0, 0, 250));

  const double before = static_cast<double>(std::time(nullptr));
  const TDateTime utc = SystemClock().NowUtc();
  const TDateTime local = SystemClock().NowLocal();
  EXPECT_GE(utc.ToUnixSeconds(), before - 1);
  EXPECT_LE(utc.ToUnixSeconds(), static_cast<double>(std::time(nullptr)) + 1);
  const double offset = local.ToUnixSeconds() - utc.ToUnixSeconds();
  EXPECT_TRUE(std::abs(offset - 3600) < 5 || std::abs(offset - 7200) < 5) << offset;
  const int64_t tick = SystemClock().TickMs();
  EXPECT_LE(tick, SystemClock().TickMs());
}

TEST(ReplaceableClock, FixedClockStandsInForTheSystem) {
  TFixedClock fixed(At(2024, 3, 5, 14, 7, 9), 8 * 60);
  {
    TScopedClock use(fixed);
    EXPECT_EQ(Clock().NowUtc(), At(2024, 3, 5, 14, 7, 9));
    EXPECT_EQ(Clock().NowLocal(), At(2024, 3, 5, 22, 7, 9));
    EXPECT_EQ(Clock().LocalToUtc(At(2024, 3, 6, 1, 0)), At(2024, 3, 5, 17, 0));
    fixed.Advance(1.5);
    EXPECT_EQ(Clock().NowUtc(), At(2024, 3, 5, 14, 7, 10, 500));
    EXPECT_EQ(Clock().TickMs(), 1500);
  }
  EXPECT_EQ(&Clock(), &SystemClock());

  TFixedClock zoned(At(2024, 7, 1, 12, 0), kCentralEurope);
  EXPECT_EQ(zoned.NowLocal(), At(2024, 7, 1, 14, 0));
}

}  // namespace
}  // namespace ooa
