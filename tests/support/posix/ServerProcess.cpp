#include "support/ServerProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace ooa::test {

TServerProcess::~TServerProcess() { Stop(); }

std::string TServerProcess::Start(std::vector<std::string> args, const std::string& what) {
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error(what + ": pipe failed");
  const pid_t pid = ::fork();
  Pid = pid;
  if (pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  if (pid < 0) {
    ::close(out[0]);
    throw std::runtime_error(what + ": fork failed");
  }
  std::string line;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end) {
    pollfd p{out[0], POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char c;
    if (::read(out[0], &c, 1) != 1) break;
    line += c;
  }
  const std::string prefix = "listening on ";
  if (line.rfind(prefix, 0) != 0) {
    ::close(out[0]);
    Stop();
    throw std::runtime_error(what + " did not start (" + args[0] + "): " + line);
  }
  std::string rest = line.substr(prefix.size());
  while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r')) rest.pop_back();
  const int fd = out[0];
  Drain = std::thread([fd] {
    char buf[256];
    while (::read(fd, buf, sizeof buf) > 0) {
    }
    ::close(fd);
  });
  return rest;
}

void TServerProcess::Stop() {
  if (Pid > 0) {
    const auto pid = static_cast<pid_t>(Pid);
    ::kill(pid, SIGTERM);
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() >= end) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Pid = -1;
  }
  if (Drain.joinable()) Drain.join();
}

}  // namespace ooa::test
