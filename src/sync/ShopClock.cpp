#include "sync/ShopClock.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "config/ActivityLog.h"
#include "config/Clock.h"

namespace ooa {

namespace {

std::mutex ReportMutex;
bool Reported = false;
double ReportedSkew = 0;  // seconds the till's clock was ahead of the shop's

}  // namespace

bool ParseHttpDate(const std::string& text, TDateTime& utc) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char weekday[4] = {}, month[4] = {}, zone[4] = {};
  int day = 0, year = 0, hour = 0, minute = 0, second = 0, used = 0;
  if (std::sscanf(text.c_str(), "%3s, %d %3s %d %d:%d:%d %3s%n", weekday, &day, month, &year, &hour, &minute,
                  &second, zone, &used) != 8 ||
      static_cast<size_t>(used) != text.size() || std::strcmp(zone, "GMT") != 0)
    return false;
  int mon = 0;
  while (mon < 12 && std::strcmp(kMonths[mon], month) != 0) ++mon;
  if (mon == 12 || day < 1 || day > 31 || year < 1970 || year > 9999 || hour > 23 || minute > 59 || second > 60)
    return false;
  utc = TDateTime::FromCivil(year, mon + 1, day, hour, minute, second);
  return true;
}

TDateTime SyncTimeFromShopClock(TDateTime tillStart, const std::string& dateHeader, double overlapSeconds) {
  TDateTime shopUtc;
  if (!ParseHttpDate(dateHeader, shopUtc)) return tillStart;
  const double skew = Clock().NowUtc().ToUnixSeconds() - shopUtc.ToUnixSeconds();
  {
    std::lock_guard lock(ReportMutex);
    const bool large = std::fabs(skew) > overlapSeconds;
    if (large && (!Reported || std::fabs(skew - ReportedSkew) > overlapSeconds)) {
      const long long seconds = std::llround(std::fabs(skew));
      StatusLine("The shop's clock is " + std::to_string(seconds) + " s " + (skew > 0 ? "behind" : "ahead of") +
                 " the till's; the order sync time follows the " + (skew > 0 ? "shop's." : "till's."));
      Reported = true;
      ReportedSkew = skew;
    } else if (!large) {
      Reported = false;
    }
  }
  const TDateTime shopLocal = Clock().UtcToLocal(shopUtc);
  return shopLocal < tillStart ? shopLocal : tillStart;
}

}  // namespace ooa
