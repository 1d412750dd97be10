// The company details near the top of every receipt: name, business number,
// telephone and fax, address lines, all centred. Read afresh from the POS
// table Profile for every receipt (the module's company query). Called by
// the receipt layout on the order worker, with a receipt document open;
// leaves the normal size selected.
#pragma once

namespace ooa {

class TDatabaseModule;

// Throws TDbError when the company query cannot be run.
void PrintCompanyHeader(TDatabaseModule& db);

}  // namespace ooa
