#include "support/ShopStandin.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace ooa::test {

std::string ShopStandinPath() { return std::string(OOA_BINARY_DIR) + "/tools/shop-standin/shop-standin"; }

TShopStandin::TShopStandin(const TOptions& options) {
  std::vector<std::string> args = {ShopStandinPath(), "--host", "127.0.0.1", "--port", "0",
                                   "--key", options.Key, "--secret", options.Secret};
  if (!options.CertFile.empty()) {
    args.insert(args.end(), {"--cert", options.CertFile, "--key-file", options.KeyFile});
  }
  args.insert(args.end(), options.Extra.begin(), options.Extra.end());

  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("shop stand-in: pipe failed");
  Pid = ::fork();
  if (Pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  if (Pid < 0) {
    ::close(out[0]);
    throw std::runtime_error("shop stand-in: fork failed");
  }
  // First line: "listening on http://127.0.0.1:PORT".
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
    throw std::runtime_error("shop stand-in did not start (" + ShopStandinPath() + "): " + line);
  }
  OriginText = line.substr(prefix.size());
  while (!OriginText.empty() && (OriginText.back() == '\n' || OriginText.back() == '\r')) OriginText.pop_back();
  const int fd = out[0];
  Drain = std::thread([fd] {
    char buf[256];
    while (::read(fd, buf, sizeof buf) > 0) {
    }
    ::close(fd);
  });
}

TShopStandin::~TShopStandin() { Stop(); }

void TShopStandin::Stop() {
  if (Pid > 0) {
    ::kill(Pid, SIGTERM);
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (::waitpid(Pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() >= end) {
        ::kill(Pid, SIGKILL);
        ::waitpid(Pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Pid = -1;
  }
  if (Drain.joinable()) Drain.join();
}

}  // namespace ooa::test
