// Running the posdb tool from tests (see PosDatabase.h).
#include "support/PosDatabase.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/TempDir.h"

namespace ooa::test {

namespace {

std::string ShellQuote(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += "'\\''";
    else out += c;
  }
  return out + "'";
}

}  // namespace

std::string PosdbPath() { return std::string(OOA_BINARY_DIR) + "/tools/posdb/posdb"; }

TPosdbRun RunPosdb(const std::vector<std::string>& args, const std::string& stdinText) {
  TTempDir io;
  const std::string in = io.Write("in", stdinText), out = io.File("out"), err = io.File("err");
  std::string cmd = ShellQuote(PosdbPath());
  for (const std::string& a : args) cmd += " " + ShellQuote(a);
  cmd += " <" + ShellQuote(in) + " >" + ShellQuote(out) + " 2>" + ShellQuote(err);
  const int status = std::system(cmd.c_str());
  TPosdbRun r;
  r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.Out = TTempDir::Read(out);
  r.Err = TTempDir::Read(err);
  return r;
}

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
