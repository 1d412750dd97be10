// Embedded POS databases for tests: runs the built posdb tool to create one
// (`posdb init`, by default with the demo shop) and to run batches on it
// (`posdb exec`). Every test executable is built after posdb. Test thread only.
#pragma once

#include <string>
#include <vector>

namespace ooa::test {

struct TPosdbRun {
  int ExitCode = -1;
  std::string Out;  // standard output
  std::string Err;  // standard error
};

// The built posdb program.
std::string PosdbPath();
// Runs posdb with the given arguments (each passed as one argument), feeding
// stdinText on standard input.
TPosdbRun RunPosdb(const std::vector<std::string>& args, const std::string& stdinText = "");
// `posdb init file extraArgs...`; throws std::runtime_error with posdb's message.
// Example: CreatePosDatabase(dir.File("pos.db"), {"--demo", "--warehouse", "1"}).
void CreatePosDatabase(const std::string& file, const std::vector<std::string>& extraArgs = {"--demo"});
// `posdb exec file` with the batch on standard input; returns what it prints
// (tab-separated result sets); throws std::runtime_error with posdb's message.
std::string PosdbExec(const std::string& file, const std::string& batch);

}  // namespace ooa::test
