// A POS database for the fuzz targets: a temporary embedded database file with
// the POS tables (warehouse "1"), a profile (GST 10 %) and the products the
// seed inputs sell (BEER, WINE, 1001), in a scratch folder (ScratchFiles.h).
// Created once per process on first use. Targets read it only: the order calculation queries
// it, and batches are compiled against its tables without running.
#pragma once

#include <cstddef>
#include <cstdint>

#include "db/DatabaseModule.h"
#include "tsql/Catalog.h"

namespace ooa::fuzz {

// The tables of the database, as the engine's compiler sees them.
const tsql::TCatalog& PosCatalog();

// Installs settings that point at the database (warehouse "1"), with the
// settings path in the scratch folder, and connects the module to it; aborts
// when that fails.
void ConnectToPosDatabase(TDatabaseModule& db);

}  // namespace ooa::fuzz
