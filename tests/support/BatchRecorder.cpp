#include "support/BatchRecorder.h"

#include <memory>

namespace ooa::test {

namespace {

class TRecordingSession : public IDbSession {
 public:
  TRecordingSession(std::unique_ptr<IDbSession> inner, TBatchRecorder& recorder)
      : Inner(std::move(inner)), Recorder(recorder) {}
  void Open() override { Inner->Open(); }
  void Close() override { Inner->Close(); }
  bool IsOpen() const override { return Inner->IsOpen(); }
  TQueryResult Query(const std::string& batch) override {
    Recorder.Record(batch);
    return Inner->Query(batch);
  }
  void Execute(const std::string& batch) override {
    Recorder.Record(batch);
    Inner->Execute(batch);
  }
  void QueryInPieces(const std::string& batch, size_t rows,
                     const std::function<void(const TRecordSet&)>& piece) override {
    Recorder.Record(batch);
    Inner->QueryInPieces(batch, rows, piece);
  }
  void ReleaseMemory() override {
    Recorder.RecordRelease();
    Inner->ReleaseMemory();
  }

 private:
  std::unique_ptr<IDbSession> Inner;
  TBatchRecorder& Recorder;
};

}  // namespace

TDatabaseModule::TSessionFactory TBatchRecorder::Factory() {
  return [this](const TDbConnectParams& params) -> std::unique_ptr<IDbSession> {
    return std::make_unique<TRecordingSession>(CreateDbSession(params), *this);
  };
}

void TBatchRecorder::SetStep(const std::string& step) {
  std::lock_guard lock(Mutex);
  Step = step;
}

std::vector<TRecordedBatch> TBatchRecorder::Batches() const {
  std::lock_guard lock(Mutex);
  return Recorded;
}

size_t TBatchRecorder::Count() const {
  std::lock_guard lock(Mutex);
  return Recorded.size();
}

size_t TBatchRecorder::Releases() const {
  std::lock_guard lock(Mutex);
  return ReleaseCount;
}

void TBatchRecorder::RecordRelease() {
  std::lock_guard lock(Mutex);
  ++ReleaseCount;
}

void TBatchRecorder::Record(const std::string& batch) {
  std::lock_guard lock(Mutex);
  Recorded.push_back({Step, batch});
}

}  // namespace ooa::test
