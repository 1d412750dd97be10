// The stand-in shop for a benchmark: the built shop-standin tool on a free
// loopback port, without signature checks, as a child process that ends with
// the object. Header-only; a benchmark's main thread.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

namespace ooa::bench {

struct TStandin {
  pid_t Pid = -1;
  std::string Origin;  // http://127.0.0.1:PORT

  void Start() {
    const std::string path = std::string(OOA_BINARY_DIR) + "/tools/shop-standin/shop-standin";
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe");
    Pid = fork();
    if (Pid == 0) {
      dup2(fds[1], STDOUT_FILENO);
      close(fds[0]);
      close(fds[1]);
      execl(path.c_str(), path.c_str(), "--port", "0", "--no-auth", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    std::string line;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') line += c;
    close(fds[0]);
    const auto at = line.find("http://");
    if (at == std::string::npos) throw std::runtime_error("shop-standin did not start (" + path + ")");
    Origin = line.substr(at);
  }
  ~TStandin() {
    if (Pid > 0) {
      kill(Pid, SIGTERM);
      waitpid(Pid, nullptr, 0);
    }
  }
};

}  // namespace ooa::bench
