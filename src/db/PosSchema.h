// The POS database's tables as this system uses them, written as one T-SQL
// batch of Create Table statements (plus indexes, the one Profile row and the
// one Version row). Only the posdb tool runs it, to create an embedded POS
// database; the service never creates a table. Plain functions; any thread.
#pragma once

#include <string>
#include <vector>

#include "db/WarehouseCode.h"

namespace ooa {

// A code the schema can create stock columns for: IsSafeWarehouseCode and at
// most 10 characters (the width of the tables' WarehouseCode columns).
bool IsValidWarehouseCode(const std::string& code);

// The schema batch with stock columns for each of the given warehouses (in
// that order, duplicates dropped). Throws std::invalid_argument naming a code
// that is not valid, or when the list is empty.
std::string PosSchemaBatch(const std::vector<std::string>& warehouseCodes);

// The tables the batch creates, in creation order.
std::vector<std::string> PosTableNames();

}  // namespace ooa
