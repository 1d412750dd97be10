// IControlThread: the thread that owns the service's timers and state (the
// window's thread in the desktop program, the main thread's event loop when
// headless). Workers hand work to it with Post; timers are PostDelayed calls.
//
// Post may be called from any thread; PostDelayed only from the controlling
// thread itself. Tasks run on the controlling thread in the order posted.
#pragma once

#include <functional>

namespace ooa {

class IControlThread {
 public:
  virtual ~IControlThread() = default;
  // Runs fn on the controlling thread as soon as it is free (any thread).
  virtual void Post(std::function<void()> fn) = 0;
  // Runs fn on the controlling thread after ms milliseconds (controlling thread only).
  virtual void PostDelayed(int ms, std::function<void()> fn) = 0;
};

}  // namespace ooa
