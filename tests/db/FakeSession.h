// A recording IDbSession for the database module's tests: it keeps every
// batch it is given, answers queries with a function of the batch text, and
// can be told to fail. Test thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "db/session/DbSession.h"

namespace ooa::dbtest {

class TFakeSession : public IDbSession {
 public:
  struct TCall {
    bool IsQuery;  // Query (true) or Execute (false)
    std::string Batch;
  };
  std::vector<TCall>* Calls;
  std::function<TQueryResult(const std::string&)> Answer;
  bool FailOpen = false;

  explicit TFakeSession(std::vector<TCall>* calls) : Calls(calls) {}
  void Open() override {
    if (FailOpen) throw TDbError("cannot connect");
    Opened = true;
  }
  void Close() override { Opened = false; }
  bool IsOpen() const override { return Opened; }
  TQueryResult Query(const std::string& batch) override {
    Calls->push_back({true, batch});
    return Answer ? Answer(batch) : TQueryResult();
  }
  void Execute(const std::string& batch) override {
    Calls->push_back({false, batch});
    if (Answer) Answer(batch);
  }

 private:
  bool Opened = false;
};

// One result set with the given columns and rows of values.
inline TQueryResult OneSet(std::vector<std::string> columns, std::vector<std::vector<TDbValue>> rows) {
  TQueryResult r;
  r.Sets.emplace_back();
  r.Sets.back().Columns = std::move(columns);
  r.Sets.back().Rows = std::move(rows);
  return r;
}

inline TDbValue DateTimeValue(const std::string& text) {
  TDbValue v;
  v.Kind = TDbValue::TKind::DateTime;
  v.Text = text;
  return v;
}

}  // namespace ooa::dbtest
