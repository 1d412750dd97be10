// TBatchRecorder: keeps every batch a database module sends, in order, each
// with the step of the test that was running. Its Factory() is a session
// factory for TDatabaseModule that wraps the real session (CreateDbSession)
// and records before passing each batch on (and counts the requests to give
// back memory). The recorder must outlive the
// module. Any thread may send (the lock keeps the record whole); the test
// thread sets the step and reads the record.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "db/DatabaseModule.h"

namespace ooa::test {

struct TRecordedBatch {
  std::string Step;
  std::string Batch;
};

class TBatchRecorder {
 public:
  TDatabaseModule::TSessionFactory Factory();

  // Batches recorded from now on belong to this step.
  void SetStep(const std::string& step);
  std::vector<TRecordedBatch> Batches() const;
  // Batches recorded so far.
  size_t Count() const;
  void Record(const std::string& batch);
  // How often a session was asked to give back its memory.
  size_t Releases() const;
  void RecordRelease();

 private:
  mutable std::mutex Mutex;
  std::string Step;
  std::vector<TRecordedBatch> Recorded;
  size_t ReleaseCount = 0;
};

}  // namespace ooa::test
