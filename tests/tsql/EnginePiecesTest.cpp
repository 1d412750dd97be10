// Rows handed over in pieces: the same rows as Query gives, never more than
// asked for at a time, every result set's columns even without rows, and a
// session that works on after the receiver of a piece threw.
#include <gtest/gtest.h>

#include <stdexcept>

#include "EngineFixture.h"

namespace ooa::test {
namespace {

class EnginePieces : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    std::string rows;
    for (int i = 1; i <= 7; ++i) rows += std::string(i > 1 ? "," : "") + "(" + std::to_string(i) + ", N'r" + std::to_string(i) + "')";
    Exec("Create Table T (Id int Primary Key, Name nvarchar(10)); Insert T Values " + rows + ";");
  }
  // Each piece as "columns:first id..last id (count)".
  std::vector<std::string> Pieces(const std::string& batch, size_t rows) {
    std::vector<std::string> pieces;
    Db->QueryInPieces(batch, rows, [&](const TRecordSet& set) {
      std::string p;
      for (const auto& c : set.Columns) p += c + ",";
      p += ":";
      if (!set.Rows.empty()) p += set.Rows.front()[0].AsString() + ".." + set.Rows.back()[0].AsString();
      pieces.push_back(p + " (" + std::to_string(set.RecordCount()) + ")");
    });
    return pieces;
  }
};

TEST_F(EnginePieces, SameRowsAsQueryAFewAtATime) {
  EXPECT_EQ(Pieces("Select Id, Name From T Order By Id", 3),
            (std::vector<std::string>{"Id,Name,:1..3 (3)", "Id,Name,:4..6 (3)", "Id,Name,:7..7 (1)"}));
  EXPECT_EQ(Pieces("Select Id From T Where Id > 5 Order By Id; Select Name From T Where Id < 0; Select 1 As One", 10),
            (std::vector<std::string>{"Id,:6..7 (2)", "Name,: (0)", "One,:1..1 (1)"}));
  // A failing batch still raises its error.
  EXPECT_THROW(Pieces("Select Nope From T", 3), TDbError);
}

TEST_F(EnginePieces, ReceiverThatThrowsEndsTheBatchOnly) {
  int pieces = 0;
  EXPECT_THROW(Db->QueryInPieces("Begin Tran; Insert T Values (8, N'r8'); Select Id From T; Commit Tran", 2,
                                 [&](const TRecordSet&) {
                                   if (++pieces == 2) throw std::runtime_error("receiver failed");
                                 }),
               std::runtime_error);
  EXPECT_EQ(pieces, 2);
  // The insert went with its transaction; the session goes on.
  EXPECT_EQ(Scalar("Select Count(*) From T").AsInteger(), 7);
  EXPECT_EQ(Pieces("Select Id From T Where Id = 4", 2), (std::vector<std::string>{"Id,:4..4 (1)"}));
}

}  // namespace
}  // namespace ooa::test
