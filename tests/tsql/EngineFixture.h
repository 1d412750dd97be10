// A fresh embedded database file per test, with helpers to run batches and
// read single values. The file lives in a temporary folder removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "db/session/DbSession.h"
#include "tsql/EmbeddedSession.h"

namespace ooa::test {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = std::filesystem::temp_directory_path() /
          ("engine-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir);
    Path = (Dir / "pos.db").string();
    Db = CreateEmbeddedSession(Path, true);
    Db->Open();
  }
  void TearDown() override {
    Db.reset();
    std::filesystem::remove_all(Dir);
  }

  void Exec(const std::string& batch) { Db->Execute(batch); }
  TQueryResult Query(const std::string& batch) { return Db->Query(batch); }
  // First column of the first row of the first result set.
  TDbValue Scalar(const std::string& batch) {
    TQueryResult r = Db->Query(batch);
    if (r.Empty() || r.First().Rows.empty()) return TDbValue();
    return r.First().Rows[0][0];
  }
  std::string Text(const std::string& batch) { return Scalar(batch).AsString(); }
  std::string ErrorOf(const std::string& batch) {
    try {
      Db->Execute(batch);
    } catch (const TDbError& e) {
      return e.what();
    }
    return "(no error)";
  }

  std::filesystem::path Dir;
  std::string Path;
  std::unique_ptr<IDbSession> Db;
};

}  // namespace ooa::test
