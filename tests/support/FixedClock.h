// TFixedClock: a clock for tests. "Now" stays where the test puts it (and moves
// only with Advance); local time is UTC plus a fixed offset, or follows a
// named time zone (a POSIX TZ text such as "CET-1CEST,M3.5.0,M10.5.0/3", or a
// zone name when tzdata is installed).
//
// A zone is applied by setting the process's TZ for the clock's lifetime, so
// use one zoned clock at a time and set it up before any thread starts.
// TScopedClock installs a clock as the process-wide Clock() and restores the
// system clock when it goes out of scope.
#pragma once

#include <optional>
#include <string>

#include "config/Clock.h"

namespace ooa::test {

class TScopedTimeZone {
 public:
  explicit TScopedTimeZone(const std::string& tz);
  ~TScopedTimeZone();
  TScopedTimeZone(const TScopedTimeZone&) = delete;
  TScopedTimeZone& operator=(const TScopedTimeZone&) = delete;

 private:
  std::optional<std::string> Previous;
};

class TFixedClock : public IClock {
 public:
  // Now = nowUtc; local = UTC + utcOffsetMinutes.
  explicit TFixedClock(TDateTime nowUtc = TDateTime::FromCivil(2024, 3, 5, 14, 7, 9), int utcOffsetMinutes = 0);
  // Now = nowUtc; local time follows the zone `tz`.
  TFixedClock(TDateTime nowUtc, const std::string& tz);
  ~TFixedClock() override;

  void SetNowUtc(TDateTime nowUtc) { Now = nowUtc; }
  void SetNowLocal(TDateTime nowLocal) { Now = LocalToUtc(nowLocal); }
  // Moves now and the tick counter forward.
  void Advance(double seconds);
  void SetUtcOffsetMinutes(int minutes) { OffsetMinutes = minutes; }

  TDateTime NowLocal() const override { return UtcToLocal(Now); }
  TDateTime NowUtc() const override { return Now; }
  TDateTime LocalToUtc(TDateTime local) const override;
  TDateTime UtcToLocal(TDateTime utc) const override;
  int64_t TickMs() const override { return Ticks; }

 private:
  TDateTime Now;
  int OffsetMinutes = 0;
  TScopedTimeZone* Zone = nullptr;
  int64_t Ticks = 0;
};

class TScopedClock {
 public:
  explicit TScopedClock(IClock& clock) { SetClock(&clock); }
  ~TScopedClock() { SetClock(nullptr); }
  TScopedClock(const TScopedClock&) = delete;
  TScopedClock& operator=(const TScopedClock&) = delete;
};

}  // namespace ooa::test
