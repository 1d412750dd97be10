#include "shop/woo/StockQuantity.h"

#include <cmath>

namespace ooa {

long long FloorQuantity(double value) {
  const double f = std::floor(value);
  if (!(f < 9.0e18)) return 9000000000000000000LL;
  if (!(f > -9.0e18)) return -9000000000000000000LL;
  return static_cast<long long>(f);
}

}  // namespace ooa
