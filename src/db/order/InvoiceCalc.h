// Pieces of the invoice calculation that need no database.
#pragma once

#include <string>

namespace ooa {

// The GST share of a GST-inclusive amount at a rate in percent, rounded to
// cents with halves to the even cent (11.00 at 10 % gives 1.00).
double IncludedGst(double amount, double ratePercent);

// True when the warehouse code can complete a column name (StockQty + code):
// letters, digits and underscores only.
bool IsSafeWarehouseCode(const std::string& code);

}  // namespace ooa
