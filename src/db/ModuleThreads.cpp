// Per-thread clean-up of the database module's rows (see ModuleThreads.h).
#include "db/ModuleThreads.h"

#include <mutex>
#include <set>
#include <utility>
#include <vector>

namespace ooa {

namespace {

std::mutex& LiveMutex() {
  static std::mutex m;
  return m;
}

std::set<const void*>& LiveModules() {
  static std::set<const void*> s;
  return s;
}

struct TThreadExitList {
  std::vector<std::pair<const void*, std::function<void()>>> Items;
  ~TThreadExitList() {
    std::lock_guard<std::mutex> lock(LiveMutex());
    for (auto& [module, dropRows] : Items)
      if (LiveModules().count(module)) dropRows();
  }
};

thread_local TThreadExitList tExitList;

}  // namespace

void RegisterLiveModule(const void* module) {
  std::lock_guard<std::mutex> lock(LiveMutex());
  LiveModules().insert(module);
}

void UnregisterLiveModule(const void* module) {
  std::lock_guard<std::mutex> lock(LiveMutex());
  LiveModules().erase(module);
}

void AtThreadExit(const void* module, std::function<void()> dropRows) {
  tExitList.Items.emplace_back(module, std::move(dropRows));
}

}  // namespace ooa
