// The one rule for warehouse codes. The code is pasted as plain text after
// "StockQty" and "StockValue" to name the configured warehouse's stock columns
// (in the calculation's reads, the line statements and the catalogue's stock
// reads), so it may hold only ASCII letters, digits and '_'. The empty code is
// allowed: it names the plain StockQty and StockValue columns, which a POS
// without warehouse codes has. Plain functions; any thread.
#pragma once

#include <string>

namespace ooa {

// True when the code can complete a stock column name.
bool IsSafeWarehouseCode(const std::string& code);

// The line logged (and the error text thrown) when a code is refused, with
// the code shown printable: "Warehouse code '1;x' refused: ...".
std::string WarehouseCodeRefusal(const std::string& code);

}  // namespace ooa
