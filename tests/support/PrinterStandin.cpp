#include "support/PrinterStandin.h"

#include "support/HostTools.h"


#include <algorithm>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace ooa::test {

std::string PrinterStandinPath() { return HostProgram("tools/printer-standin/printer-standin"); }

TPrinterStandin::TPrinterStandin(const TOptions& options) {
  std::vector<std::string> args = {PrinterStandinPath(), "--port", "0", "--out", HostPath(Dir.Path())};
  if (options.Refuse) args.push_back("--refuse");
  if (options.Stall) args.push_back("--stall");
  if (options.DropAfter >= 0) {
    args.push_back("--drop-after");
    args.push_back(std::to_string(options.DropAfter));
  }
  if (options.IdleTimeoutMs > 0) {
    args.push_back("--idle-timeout");
    args.push_back(std::to_string(options.IdleTimeoutMs));
  }
  // The tool says "listening on 127.0.0.1:PORT".
  const std::string address = Process.Start(std::move(args), "printer stand-in");
  const std::string prefix = "127.0.0.1:";
  if (address.rfind(prefix, 0) != 0) {
    Process.Stop();
    throw std::runtime_error("printer stand-in: unexpected address " + address);
  }
  PortNumber = std::stoi(address.substr(prefix.size()));
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

void TPrinterStandin::Stop() { Process.Stop(); }

}  // namespace ooa::test
