// Running the posdb tool from tests (see PosDatabase.h); the run itself is in
// posix/ and win/.
#include "support/PosDatabase.h"

#include <stdexcept>

#include "support/HostTools.h"

namespace ooa::test {

std::string PosdbPath() { return BuiltProgram("tools/posdb/posdb"); }

void CreatePosDatabase(const std::string& file, const std::vector<std::string>& extraArgs) {
  std::vector<std::string> args = {"init", file};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  TPosdbRun r = RunPosdb(args);
  if (r.ExitCode != 0) throw std::runtime_error("posdb init failed: " + r.Err);
}

std::string PosdbExec(const std::string& file, const std::string& batch) {
  TPosdbRun r = RunPosdb({"exec", file}, batch);
  if (r.ExitCode != 0) throw std::runtime_error("posdb exec failed: " + r.Err);
  return r.Out;
}

}  // namespace ooa::test
