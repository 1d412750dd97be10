#include "support/PrinterStandin.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <stdexcept>

namespace ooa::test {

std::string PrinterStandinPath() { return std::string(OOA_BINARY_DIR) + "/tools/printer-standin/printer-standin"; }

TPrinterStandin::TPrinterStandin(const TOptions& options) {
  std::vector<std::string> args = {PrinterStandinPath(), "--port", "0", "--out", Dir.Path()};
  if (options.Refuse) args.push_back("--refuse");
  if (options.DropAfter >= 0) {
    args.push_back("--drop-after");
    args.push_back(std::to_string(options.DropAfter));
  }
  if (options.IdleTimeoutMs > 0) {
    args.push_back("--idle-timeout");
    args.push_back(std::to_string(options.IdleTimeoutMs));
  }
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("printer stand-in: pipe failed");
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
    throw std::runtime_error("printer stand-in: fork failed");
  }
  // First line: "listening on 127.0.0.1:PORT".
  std::string line;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end) {
    pollfd p{out[0], POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char c;
    if (::read(out[0], &c, 1) != 1) break;
    line += c;
  }
  const std::string prefix = "listening on 127.0.0.1:";
  if (line.rfind(prefix, 0) != 0) {
    ::close(out[0]);
    Stop();
    throw std::runtime_error("printer stand-in did not start (" + PrinterStandinPath() + "): " + line);
  }
  PortNumber = std::stoi(line.substr(prefix.size()));
  const int fd = out[0];
  Drain = std::thread([fd] {
    char buf[256];
    while (::read(fd, buf, sizeof buf) > 0) {
    }
    ::close(fd);
  });
}

TPrinterStandin::~TPrinterStandin() { Stop(); }

std::string TPrinterStandin::Address() const { return "socket://127.0.0.1:" + std::to_string(PortNumber); }

std::vector<std::string> TPrinterStandin::Jobs() const {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(Dir.Path())) {
    const std::string name = e.path().filename().string();
    if (name.rfind("job-", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".bin") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> jobs;
  for (const auto& n : names) jobs.push_back(TTempDir::Read(Dir.File(n)));
  return jobs;
}

std::vector<std::string> TPrinterStandin::WaitForJobs(size_t count, int timeoutMs) const {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    auto jobs = Jobs();
    if (jobs.size() >= count || std::chrono::steady_clock::now() >= end) return jobs;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void TPrinterStandin::Stop() {
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
