#include "config/LocalZone.h"

#include <ctime>

namespace ooa {

void RefreshLocalZone() { tzset(); }

long LocalUtcOffset(int64_t unixSeconds) {
  const time_t t = static_cast<time_t>(unixSeconds);
  struct tm local{};
  localtime_r(&t, &local);
  return local.tm_gmtoff;
}

}  // namespace ooa
