// Helpers of the database tests (see DbTestUtil.h).
#include "DbTestUtil.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace ooa::dbtest {

TScratchDir::TScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "ooa-db-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  if (!made) throw std::runtime_error("cannot create a temporary folder");
  Dir = made;
}

TScratchDir::~TScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(Dir, ec);
}

std::string ShellQuote(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += "'\\''";
    else out += c;
  }
  return out + "'";
}

namespace {
std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
}  // namespace

TRunResult RunPosdb(const std::string& args, const std::string& stdinText) {
  TScratchDir io;
  const std::string in = io.File("in"), out = io.File("out"), err = io.File("err");
  std::ofstream(in, std::ios::binary) << stdinText;
  std::string cmd = ShellQuote(POSDB_PATH) + " " + args + " <" + ShellQuote(in) + " >" + ShellQuote(out) +
                    " 2>" + ShellQuote(err);
  int status = std::system(cmd.c_str());
  TRunResult r;
  r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.Out = Slurp(out);
  r.Err = Slurp(err);
  return r;
}

void InitDatabase(const std::string& file, const std::string& extraArgs) {
  TRunResult r = RunPosdb("init " + ShellQuote(file) + " " + extraArgs);
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
