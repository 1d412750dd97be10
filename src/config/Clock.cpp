#include "config/Clock.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>

#include "config/LocalZone.h"

namespace ooa {

namespace {

// Offset of local time from UTC (seconds) at the instant `t`, for the zone of TZ.
long OffsetAt(time_t t) { return LocalUtcOffset(static_cast<int64_t>(t)); }

// Whole seconds and milliseconds of a value on the (unzoned) 1970 scale.
void Split(TDateTime value, int64_t& seconds, int64_t& ms) {
  const int64_t total = value.TotalMilliseconds() - 25569LL * 86400000LL;
  seconds = total >= 0 ? total / 1000 : -((-total + 999) / 1000);
  ms = total - seconds * 1000;
}

TDateTime Join(int64_t seconds, int64_t ms) {
  return TDateTime::FromUnixSeconds(static_cast<double>(seconds) + static_cast<double>(ms) / 1000.0);
}

class TSystemClock : public IClock {
 public:
  TDateTime NowLocal() const override { return UtcToLocal(NowUtc()); }

  TDateTime NowUtc() const override {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    return Join(ms / 1000, ms % 1000);
  }

  TDateTime LocalToUtc(TDateTime local) const override {
    RefreshLocalZone();
    int64_t wall, ms;
    Split(local, wall, ms);
    // Every offset in force within a day of the reading is a candidate; the
    // ones that map back to the reading are valid, and the earliest wins.
    const long offsets[] = {OffsetAt(static_cast<time_t>(wall - 86400)), OffsetAt(static_cast<time_t>(wall)),
                            OffsetAt(static_cast<time_t>(wall + 86400))};
    bool found = false;
    int64_t best = 0;
    for (long off : offsets) {
      const int64_t utc = wall - off;
      if (OffsetAt(static_cast<time_t>(utc)) == off && (!found || utc < best)) {
        best = utc;
        found = true;
      }
    }
    if (found) return Join(best, ms);
    // The reading lies in the hour skipped when clocks went forward: take the
    // instant where the gap begins (the first instant under the new offset).
    long before = offsets[0], after = offsets[2];
    if (before > after) std::swap(before, after);
    int64_t lo = wall - after;  // still under the old offset
    int64_t hi = wall - before;  // already under the new offset
    const long oldOffset = OffsetAt(static_cast<time_t>(lo));
    while (hi - lo > 1) {
      const int64_t mid = lo + (hi - lo) / 2;
      if (OffsetAt(static_cast<time_t>(mid)) == oldOffset) {
        lo = mid;
      } else {
        hi = mid;
      }
    }
    return Join(hi, 0);
  }

  TDateTime UtcToLocal(TDateTime utc) const override {
    RefreshLocalZone();
    int64_t seconds, ms;
    Split(utc, seconds, ms);
    return Join(seconds + OffsetAt(static_cast<time_t>(seconds)), ms);
  }

  int64_t TickMs() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

std::atomic<IClock*>& Current() {
  static std::atomic<IClock*> current{nullptr};
  return current;
}

}  // namespace

IClock& SystemClock() {
  static TSystemClock clock;
  return clock;
}

IClock& Clock() {
  IClock* c = Current().load();
  return c ? *c : SystemClock();
}

void SetClock(IClock* clock) { Current().store(clock); }

}  // namespace ooa
