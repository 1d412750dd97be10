// Runs the built online-order-adaptor as a child process for one test: its
// own environment, standard output and error captured in files, signals, and
// a bounded wait. Test thread only. On Windows Signal() knows only SIGKILL
// (the process is ended), Pause() is not there (false), and the output is
// read with its CR LF line ends as LF.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace ooa::test {

std::string AdaptorPath();

class TProgramRun {
 public:
  // env entries replace or add variables; a value of "" removes one.
  TProgramRun(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
              const std::string& outputDir);
  ~TProgramRun();

  // Waits up to timeoutMs for the exit; the exit status (128 + signal when
  // killed by one), or -1 on time-out.
  int Wait(int timeoutMs);
  // Waits until standard output holds text; false on time-out or exit.
  bool WaitForOutput(const std::string& text, int timeoutMs);
  void Signal(int sig);
  // Stops the process (SIGSTOP) and waits until it is stopped, so that its
  // state can be looked at before it goes on or is killed; false when it
  // ended first or did not stop within timeoutMs.
  bool Pause(int timeoutMs);
  std::string Stdout() const;
  std::string Stderr() const;
  const std::string& StdoutPath() const { return OutPath; }

 private:
  long long Pid = -1;  // process id (Linux) or handle (Windows)
  int Status = -1;
  std::string OutPath, ErrPath;
};

}  // namespace ooa::test
