// TMemoLogSink: the activity log's sink in the desktop program, the main
// window's read-only log box. Lines written on the UI thread go in at once;
// lines of worker threads are queued to the UI thread in the order written.
// Owned by the main window, which unhooks it before the box is destroyed.
#pragma once

#include "config/ActivityLog.h"

class QPlainTextEdit;

namespace ooa {

class TMemoLogSink : public ILogSink {
 public:
  explicit TMemoLogSink(QPlainTextEdit* memo) : Memo(memo) {}
  void Append(const std::string& line) override;
  void Clear() override;

 private:
  QPlainTextEdit* Memo;
};

}  // namespace ooa
