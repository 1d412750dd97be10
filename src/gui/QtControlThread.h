// TQtControlThread: the window's thread as the service's controlling thread.
// Post queues a task into the Qt event loop (safe from any thread); a delayed
// task is a single-shot timer. Create it on the UI thread; the tasks die with
// it, so a task left in the queue after it is gone never runs.
#pragma once

#include <QObject>

#include "service/ControlThread.h"

namespace ooa {

class TQtControlThread : public IControlThread {
 public:
  void Post(std::function<void()> fn) override;
  void PostDelayed(int ms, std::function<void()> fn) override;

 private:
  QObject Context;  // lives on the UI thread; the tasks' receiver
};

}  // namespace ooa
