// IClock: the one source of "now" and of local/UTC conversion for the whole
// program, so that tests can fix the time and the time zone.
// Used from every thread; implementations must be thread-safe.
// The process-wide clock is set once in main (or by a test) before any
// worker starts; SetClock does not take ownership.
#pragma once

#include <cstdint>

#include "config/DateTime.h"

namespace ooa {

class IClock {
 public:
  virtual ~IClock() = default;
  // Wall-clock time in the machine's local time zone.
  virtual TDateTime NowLocal() const = 0;
  // Wall-clock time in UTC.
  virtual TDateTime NowUtc() const = 0;
  // Local wall-clock reading -> UTC. In the repeated hour when clocks go back
  // the earlier instant is taken; a reading inside the skipped hour when clocks
  // go forward maps to the instant where the gap begins.
  virtual TDateTime LocalToUtc(TDateTime local) const = 0;
  virtual TDateTime UtcToLocal(TDateTime utc) const = 0;
  // Monotonic milliseconds, for measuring durations only.
  virtual int64_t TickMs() const = 0;
};

// The real clock: the system time and the time zone from TZ / the system.
IClock& SystemClock();

// The clock every part of the program uses; SystemClock() unless replaced.
IClock& Clock();
void SetClock(IClock* clock);  // nullptr restores the system clock

}  // namespace ooa
