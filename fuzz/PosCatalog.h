// The table catalog of a fresh POS database (one warehouse, code "1"), for the
// fuzz targets that compile T-SQL batches the way the embedded engine does
// before it runs them. Built once per process on first use from a temporary
// database file, which is removed again; the catalog is then only read.
#pragma once

#include "db/embedded/Catalog.h"

namespace ooa::fuzz {

const tsql::TCatalog& PosCatalog();

}  // namespace ooa::fuzz
