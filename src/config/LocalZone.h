// The local time zone as the system knows it, for the system clock and the
// embedded database's GETDATE(): TZ when set (a POSIX zone text such as
// "CET-1CEST,M3.5.0,M10.5.0/3"), otherwise the machine's zone. Any thread.
#pragma once

#include <cstdint>

namespace ooa {

// Re-reads the zone settings, so that a change of TZ takes effect.
void RefreshLocalZone();

// Offset of local time from UTC (seconds, east positive) at the instant
// `unixSeconds`.
long LocalUtcOffset(int64_t unixSeconds);

}  // namespace ooa
