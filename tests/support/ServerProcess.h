// TServerProcess: runs one of our loopback stand-in tools (shop, printer) as a
// child process for a test. Start() waits for the tool's first output line
// "listening on ..." and returns what follows; the rest of its output is read
// and dropped by a thread of its own. Stop() (also from the destructor) sends
// SIGTERM and, after 5 seconds, SIGKILL. Used by the test's thread only.
//
// Under Wine the tools are programs of the build machine, which Wine starts
// outside its own process table: no process handle, no redirected output.
// There the tool runs through /bin/sh, which notes its process id and sends
// its output to a file; stopping it is another /bin/sh.
#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"

namespace ooa::test {

class TServerProcess {
 public:
  TServerProcess() = default;
  TServerProcess(const TServerProcess&) = delete;
  TServerProcess& operator=(const TServerProcess&) = delete;
  ~TServerProcess();

  // Starts args[0] with args; throws std::runtime_error naming `what` when the
  // tool does not say it listens within 10 seconds.
  std::string Start(std::vector<std::string> args, const std::string& what);
  void Stop();  // idempotent

 private:
  long long Pid = -1;  // the process id; -1: none
  std::thread Drain;                // Linux: reads the output after the first line
  std::unique_ptr<TTempDir> Files;  // Windows: the tool's output and the stop's mark
};

}  // namespace ooa::test
