// Helpers of the database tests: a temporary folder, running the posdb tool,
// and a TConfig naming an embedded database. Test thread only.
#pragma once

#include <string>

#include "config/Config.h"

namespace ooa::dbtest {

// A fresh folder under the system temp folder, removed with everything in it.
class TScratchDir {
 public:
  TScratchDir();
  ~TScratchDir();
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;
  const std::string& Path() const { return Dir; }
  std::string File(const std::string& name) const { return Dir + "/" + name; }

 private:
  std::string Dir;
};

struct TRunResult {
  int ExitCode = -1;
  std::string Out, Err;
};

// Runs the built posdb with the given (shell-quoted) arguments, optionally
// feeding stdinText, and captures both output streams.
TRunResult RunPosdb(const std::string& args, const std::string& stdinText = "");

// Single-quotes a text for the shell.
std::string ShellQuote(const std::string& text);

// Creates an embedded POS database with `posdb init`; fails the test on error.
void InitDatabase(const std::string& file, const std::string& extraArgs = "--demo");

// Settings that select the embedded database file in dir (set as config dir).
TConfig EmbeddedConfig(const std::string& databaseName);

}  // namespace ooa::dbtest
