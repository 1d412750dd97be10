// TServerProcess: runs one of our loopback stand-in tools (shop, printer) as a
// child process for a test. Start() waits for the tool's first output line
// "listening on ..." and returns what follows; the rest of its output is read
// and dropped by a thread of its own. Stop() (also from the destructor) sends
// SIGTERM and, after 5 seconds, SIGKILL (on Windows: ends the process). Used
// by the test's thread only.
#pragma once

#include <string>
#include <thread>
#include <vector>

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
  long long Pid = -1;  // the process id (Linux) or handle (Windows); -1: none
  std::thread Drain;
};

}  // namespace ooa::test
