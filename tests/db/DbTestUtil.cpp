// Helpers of the database tests (see DbTestUtil.h).
#include "DbTestUtil.h"

#include <gtest/gtest.h>

namespace ooa::dbtest {

void InitDatabase(const std::string& file, const std::vector<std::string>& extraArgs) {
  std::vector<std::string> args = {"init", file};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  auto r = RunPosdb(args);
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
}

TConfig EmbeddedConfig(const std::string& databaseName) {
  TConfig c;
  c.ServerName = "(embedded)";
  c.DatabaseName = databaseName;
  c.WarehouseCode = "1";
  return c;
}

}  // namespace ooa::dbtest
