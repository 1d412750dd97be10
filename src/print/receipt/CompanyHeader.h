// The company details near the top of every receipt: name, business number,
// telephone and fax, address lines, all centred, from the receipt's record
// (read afresh from the POS table Profile for every receipt). Called by the
// receipt layout on the order worker, with a receipt document open; leaves
// the normal size selected.
#pragma once

#include "model/Receipt.h"

namespace ooa {

void PrintCompanyHeader(const TReceiptCompany& company);

}  // namespace ooa
