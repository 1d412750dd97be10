// TProgramRun on Linux: fork and execve (ProgramRunWin.cpp: Windows).
#ifndef _WIN32
#include "ProgramRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "support/HostTools.h"
#include "support/TempDir.h"

extern char** environ;

namespace ooa::test {

std::string AdaptorPath() { return BuiltProgram("src/app/online-order-adaptor"); }

TProgramRun::TProgramRun(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
                         const std::string& outputDir)
    : OutPath(outputDir + "/stdout.txt"), ErrPath(outputDir + "/stderr.txt") {
  std::map<std::string, std::string> vars;
  for (char** e = environ; *e; ++e) {
    std::string kv = *e;
    auto eq = kv.find('=');
    if (eq != std::string::npos) vars[kv.substr(0, eq)] = kv.substr(eq + 1);
  }
  for (auto& [k, v] : env) {
    if (v.empty())
      vars.erase(k);
    else
      vars[k] = v;
  }
  std::vector<std::string> envText;
  for (auto& [k, v] : vars) envText.push_back(k + "=" + v);
  std::vector<std::string> argv = {AdaptorPath()};
  argv.insert(argv.end(), args.begin(), args.end());

  Pid = ::fork();
  if (Pid < 0) throw std::runtime_error("fork failed");
  if (Pid == 0) {
    int out = ::open(OutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = ::open(ErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    std::vector<char*> a, e;
    for (auto& s : argv) a.push_back(s.data());
    a.push_back(nullptr);
    for (auto& s : envText) e.push_back(s.data());
    e.push_back(nullptr);
    ::execve(a[0], a.data(), e.data());
    ::_exit(127);
  }
}

TProgramRun::~TProgramRun() {
  if (Pid > 0 && Status < 0) {
    ::kill(Pid, SIGKILL);
    ::waitpid(Pid, nullptr, 0);
  }
}

int TProgramRun::Wait(int timeoutMs) {
  if (Status >= 0) return Status;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int st = 0;
    if (::waitpid(Pid, &st, WNOHANG) == Pid) {
      Status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
      return Status;
    }
    if (std::chrono::steady_clock::now() >= end) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool TProgramRun::WaitForOutput(const std::string& text, int timeoutMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (Stdout().find(text) != std::string::npos) return true;
    if (Wait(0) >= 0) return Stdout().find(text) != std::string::npos;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

void TProgramRun::Signal(int sig) {
  if (Status < 0) ::kill(Pid, sig);
}

bool TProgramRun::Pause(int timeoutMs) {
  if (Status >= 0) return false;
  ::kill(Pid, SIGSTOP);
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int st = 0;
    if (::waitpid(Pid, &st, WNOHANG | WUNTRACED) == Pid) {
      if (WIFSTOPPED(st)) return true;
      Status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
      return false;
    }
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
}

std::string TProgramRun::Stdout() const { return TTempDir::Read(OutPath); }
std::string TProgramRun::Stderr() const { return TTempDir::Read(ErrPath); }

}  // namespace ooa::test
#endif  // _WIN32
