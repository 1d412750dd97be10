// printer-standin: a loopback TCP server that takes raw print jobs the way a
// network receipt printer does on port 9100. Every connection is one job: its
// bytes are kept in one file, job-0001.bin, job-0002.bin, ... in the output
// folder, written under a temporary name and renamed when the connection ends,
// so a job file that exists is complete.
//
//   printer-standin [--port 9100] [--out DIR] [--refuse] [--drop-after N]
//                   [--stall] [--idle-timeout MS]
//
// --port 0 picks a free port. Once listening it prints
// "listening on 127.0.0.1:PORT" on standard output. Fault modes: --refuse
// accepts each connection and resets it at once (nothing is kept);
// --drop-after N resets a connection after its first N bytes (those N are
// kept as the job); --stall accepts each connection and never reads from it
// nor closes it until the stand-in stops (a printer whose buffer stays full;
// nothing is kept). A connection silent for --idle-timeout ms ends its job.
// Stops on SIGTERM or SIGINT, after finishing the jobs in progress.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> Stopping{false};

void OnSignal(int) { Stopping = true; }

struct TOptions {
  int Port = 9100;
  std::string OutDir = ".";
  bool Refuse = false;
  bool Stall = false;
  long long DropAfter = -1;
  int IdleTimeoutMs = 30000;
};

void Reset(int fd) {
  linger l{1, 0};  // close with RST: the sender sees a broken connection
  ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
  ::close(fd);
}

void KeepJob(const TOptions& o, int number, const std::string& bytes) {
  char name[32];
  std::snprintf(name, sizeof name, "job-%04d.bin", number);
  const std::filesystem::path dir(o.OutDir);
  const auto part = dir / (std::string(name) + ".part");
  {
    std::ofstream f(part, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) {
      std::cerr << "printer-standin: cannot write " << part << "\n";
      return;
    }
  }
  std::filesystem::rename(part, dir / name);
  std::cout << "job " << name << " " << bytes.size() << " bytes" << std::endl;
}

void ServeJob(const TOptions& o, int fd, int number) {
  if (o.Refuse) {
    Reset(fd);
    return;
  }
  if (o.Stall) {
    while (!Stopping) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::close(fd);
    return;
  }
  std::string bytes;
  char buf[4096];
  bool dropped = o.DropAfter == 0;
  int idleMs = 0;
  while (!dropped) {
    pollfd p{fd, POLLIN, 0};
    int r = ::poll(&p, 1, 100);
    if (r == 0) {
      idleMs += 100;
      // Silent too long, or the stand-in stops while the sender is silent: the job ends here.
      if (idleMs >= o.IdleTimeoutMs || Stopping) break;
      continue;
    }
    idleMs = 0;
    if (r < 0) {
      if (errno == EINTR) continue;
      break;
    }
    size_t want = sizeof buf;
    if (o.DropAfter >= 0) want = std::min<size_t>(want, static_cast<size_t>(o.DropAfter) - bytes.size());
    ssize_t n = ::recv(fd, buf, want, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(buf, static_cast<size_t>(n));
    if (o.DropAfter >= 0 && bytes.size() >= static_cast<size_t>(o.DropAfter)) {
      dropped = true;
      break;
    }
  }
  if (dropped)
    Reset(fd);
  else
    ::close(fd);
  KeepJob(o, number, bytes);
}

}  // namespace

int main(int argc, char** argv) {
  TOptions o;
  CLI::App app{"Stand-in for a network receipt printer: keeps each raw job as a file"};
  app.add_option("--port", o.Port, "TCP port on 127.0.0.1 (0: a free port)")->check(CLI::Range(0, 65535));
  app.add_option("--out", o.OutDir, "folder for the job files")->check(CLI::ExistingDirectory);
  app.add_flag("--refuse", o.Refuse, "reset every connection at once");
  app.add_flag("--stall", o.Stall, "accept every connection but never read from it");
  app.add_option("--drop-after", o.DropAfter, "reset a connection after this many bytes")->check(CLI::NonNegativeNumber);
  app.add_option("--idle-timeout", o.IdleTimeoutMs, "end a job after this many silent milliseconds")
      ->check(CLI::PositiveNumber);
  CLI11_PARSE(app, argc, argv);

  struct sigaction sa{};
  sa.sa_handler = OnSignal;
  ::sigaction(SIGTERM, &sa, nullptr);
  ::sigaction(SIGINT, &sa, nullptr);
  ::signal(SIGPIPE, SIG_IGN);

  int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int one = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(o.Port));
  if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listener, 16) != 0) {
    std::cerr << "printer-standin: cannot listen on 127.0.0.1:" << o.Port << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  socklen_t len = sizeof addr;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
  std::cout << "listening on 127.0.0.1:" << ntohs(addr.sin_port) << std::endl;

  std::vector<std::thread> jobs;
  int count = 0;
  while (!Stopping) {
    pollfd p{listener, POLLIN, 0};
    if (::poll(&p, 1, 200) <= 0) continue;
    int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    jobs.emplace_back(ServeJob, std::cref(o), fd, ++count);
  }
  ::close(listener);
  for (auto& t : jobs) t.join();
  return 0;
}
