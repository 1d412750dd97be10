#include "ScratchFiles.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string_view>

namespace ooa::fuzz {

namespace {

constexpr std::string_view kPrefix = "ooa-fuzz-";

void RemoveEnded(const std::string& dir) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(kPrefix, 0) != 0) continue;
    size_t end = kPrefix.size();
    while (end < name.size() && name[end] >= '0' && name[end] <= '9') ++end;
    if (end == kPrefix.size()) continue;
    const pid_t pid = static_cast<pid_t>(std::stol(name.substr(kPrefix.size(), end - kPrefix.size())));
    if (::kill(pid, 0) != 0 && errno == ESRCH) std::filesystem::remove_all(entry.path(), ec);
  }
}

}  // namespace

std::string ScratchPath(const std::string& dir, const std::string& suffix) {
  RemoveEnded(dir);
  return dir + "/" + std::string(kPrefix) + std::to_string(::getpid()) + suffix;
}

}  // namespace ooa::fuzz
