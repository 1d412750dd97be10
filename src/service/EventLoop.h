// TEventLoop: a plain event loop without a window toolkit, the controlling
// thread of headless mode and of the scheduler tests. Run() turns the calling
// thread into the controlling thread until Quit(). Post and Quit are safe from
// any thread. Owned by whoever runs it; it must outlive everything that posts.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <utility>

#include "service/ControlThread.h"

namespace ooa {

class TEventLoop : public IControlThread {
 public:
  void Post(std::function<void()> fn) override;
  void PostDelayed(int ms, std::function<void()> fn) override;

  // Runs tasks until Quit() is called.
  void Run();
  // Runs tasks until done() holds (checked after every task and at least every
  // few milliseconds) or timeoutMs passed. Returns done()'s last value.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs);
  void Quit();

 private:
  using TClock = std::chrono::steady_clock;
  // Waits for and runs at most one task; false when the wait ended without one.
  bool RunOne(TClock::time_point deadline);

  std::mutex Mutex;
  std::condition_variable Wake;
  std::deque<std::function<void()>> Ready;
  std::multimap<std::pair<TClock::time_point, uint64_t>, std::function<void()>> Delayed;
  uint64_t Sequence = 0;
  bool QuitRequested = false;
};

}  // namespace ooa
