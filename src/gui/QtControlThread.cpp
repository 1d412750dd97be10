#include "gui/QtControlThread.h"

#include <QMetaObject>
#include <QThread>
#include <QTimer>

namespace ooa {

void TQtControlThread::Post(std::function<void()> fn) {
  QMetaObject::invokeMethod(&Context, std::move(fn), Qt::QueuedConnection);
}

void TQtControlThread::PostDelayed(int ms, std::function<void()> fn) {
  if (QThread::currentThread() != Context.thread()) {
    // Timers belong to the UI thread: start this one from there.
    Post([this, ms, fn = std::move(fn)]() mutable { PostDelayed(ms, std::move(fn)); });
    return;
  }
  QTimer::singleShot(ms, &Context, std::move(fn));
}

}  // namespace ooa
