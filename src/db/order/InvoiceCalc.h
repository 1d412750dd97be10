// Pieces of the invoice calculation that need no database.
#pragma once

#include <string>

#include "db/WarehouseCode.h"

namespace ooa {

// The GST share of a GST-inclusive amount at a rate in percent, rounded to
// cents with halves to the even cent (11.00 at 10 % gives 1.00).
double IncludedGst(double amount, double ratePercent);

}  // namespace ooa
