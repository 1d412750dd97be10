#include "service/EventLoop.h"

namespace ooa {

void TEventLoop::Post(std::function<void()> fn) {
  {
    std::lock_guard lock(Mutex);
    Ready.push_back(std::move(fn));
  }
  Wake.notify_all();
}

void TEventLoop::PostDelayed(int ms, std::function<void()> fn) {
  {
    std::lock_guard lock(Mutex);
    Delayed.emplace(std::make_pair(TClock::now() + std::chrono::milliseconds(ms), Sequence++), std::move(fn));
  }
  Wake.notify_all();
}

bool TEventLoop::RunOne(TClock::time_point deadline) {
  std::function<void()> task;
  {
    std::unique_lock lock(Mutex);
    for (;;) {
      if (QuitRequested) return false;
      if (!Ready.empty()) {
        task = std::move(Ready.front());
        Ready.pop_front();
        break;
      }
      auto now = TClock::now();
      if (!Delayed.empty() && Delayed.begin()->first.first <= now) {
        task = std::move(Delayed.begin()->second);
        Delayed.erase(Delayed.begin());
        break;
      }
      if (now >= deadline) return false;
      auto until = deadline;
      if (!Delayed.empty() && Delayed.begin()->first.first < until) until = Delayed.begin()->first.first;
      Wake.wait_until(lock, until);
    }
  }
  task();
  return true;
}

void TEventLoop::Run() {
  for (;;) {
    RunOne(TClock::now() + std::chrono::hours(1));
    std::lock_guard lock(Mutex);
    if (QuitRequested) {
      QuitRequested = false;
      return;
    }
  }
}

bool TEventLoop::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  auto end = TClock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    auto now = TClock::now();
    if (now >= end) return done();
    // Wake up now and then: done() may depend on other threads' progress.
    auto slice = std::min(end, now + std::chrono::milliseconds(5));
    RunOne(slice);
    std::lock_guard lock(Mutex);
    if (QuitRequested) {
      QuitRequested = false;
      return done();
    }
  }
  return true;
}

void TEventLoop::Quit() {
  {
    std::lock_guard lock(Mutex);
    QuitRequested = true;
  }
  Wake.notify_all();
}

}  // namespace ooa
