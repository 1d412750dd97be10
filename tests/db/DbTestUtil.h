// Helpers of the database tests: an embedded POS database made with posdb and
// settings that select it. Test thread only.
#pragma once

#include <string>
#include <vector>

#include "config/Config.h"
#include "support/PosDatabase.h"
#include "support/TempDir.h"

namespace ooa::dbtest {

using TScratchDir = ooa::test::TTempDir;
using ooa::test::RunPosdb;

// Creates an embedded POS database with `posdb init`; fails the test on error.
void InitDatabase(const std::string& file, const std::vector<std::string>& extraArgs = {"--demo"});

// Settings that select the embedded database of that name (warehouse 1).
TConfig EmbeddedConfig(const std::string& databaseName);

}  // namespace ooa::dbtest
