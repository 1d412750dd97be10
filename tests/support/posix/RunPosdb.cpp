// RunPosdb on Linux: through the shell, with the streams in files.
#include <sys/wait.h>

#include <cstdlib>

#include "support/PosDatabase.h"
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

}  // namespace ooa::test
