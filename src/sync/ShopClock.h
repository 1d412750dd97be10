// The shop's clock as the order pass sees it: the Date header of the first
// answer to the order query. The pass's sync time comes from it, so that a
// shop whose clock is behind the till's does not lose the orders placed in
// the gap (the shop stamps them with its own clock, and the next pass asks
// for those modified after the stored time). Used by the order pass on its
// worker thread; ReportSkew keeps what it last reported for the next pass.
#pragma once

#include <string>

#include "config/DateTime.h"

namespace ooa {

// An HTTP date ("Thu, 10 Dec 2026 03:41:00 GMT") as UTC; false for anything else.
bool ParseHttpDate(const std::string& text, TDateTime& utc);

// The pass's sync time: the shop's time of its answer (dateHeader, local
// time), never later than tillStart (the till's clock when the pass began);
// tillStart alone when the header is missing or unreadable. When the two
// clocks differ by more than overlapSeconds, a status line says by how much
// (once, until the difference changes by more than that).
TDateTime SyncTimeFromShopClock(TDateTime tillStart, const std::string& dateHeader, double overlapSeconds);

}  // namespace ooa
