#include "gui/MemoLogSink.h"

#include <QMetaObject>
#include <QPlainTextEdit>
#include <QThread>

namespace ooa {

void TMemoLogSink::Append(const std::string& line) {
  QString text = QString::fromStdString(line);
  QPlainTextEdit* memo = Memo;
  if (QThread::currentThread() == memo->thread())
    memo->appendPlainText(text);
  else
    QMetaObject::invokeMethod(memo, [memo, text] { memo->appendPlainText(text); }, Qt::QueuedConnection);
}

void TMemoLogSink::Clear() {
  QPlainTextEdit* memo = Memo;
  if (QThread::currentThread() == memo->thread())
    memo->clear();
  else
    QMetaObject::invokeMethod(memo, [memo] { memo->clear(); }, Qt::QueuedConnection);
}

}  // namespace ooa
