// How deep a batch may nest. The compiler and executor walk a batch
// recursively, so the parser refuses one nested beyond its limit with a clear
// error before anything runs, instead of letting the program run out of stack.
#include <string>

#include "tsql/EngineFixture.h"

namespace ooa::test {
namespace {

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

const std::string kTooDeep =
    "Some part of your SQL statement is nested too deeply. Rewrite the query or break it up into smaller queries.";

TEST_F(EngineTest, NestingUpToTheLimitRunsAndDeeperIsRefused) {
  struct TCase {
    const char* Name;
    std::string (*Batch)(int n);
    int Limit;  // a depth just inside the limit
  };
  const TCase cases[] = {
      {"parentheses", [](int n) { return "Select " + Repeat("(", n) + "1" + Repeat(")", n); }, 990},
      {"subqueries", [](int n) { return "Select " + Repeat("(Select ", n) + "1" + Repeat(")", n); }, 490},
      {"signs", [](int n) { return "Select " + Repeat("- ", 2 * n) + "1"; }, 490},
      {"Not", [](int n) { return "Select 1 Where " + Repeat("Not ", 2 * n) + "1=1"; }, 490},
      {"If", [](int n) { return Repeat("If 1=1 ", n) + "Select 1"; }, 990},
      {"Begin blocks", [](int n) { return Repeat("If 1=1 Begin ", n) + "Select 1" + Repeat(" End", n); }, 490},
      {"a chain of +", [](int n) { return "Select 1" + Repeat("+0", n); }, 990},
      {"a chain of Or", [](int n) { return "Select 1 Where 1=1" + Repeat(" Or 1=0", n); }, 990},
      {"chains in chains", [](int n) { return "Select " + Repeat("(1*0+", n) + "1" + Repeat(")", n); }, 330},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Scalar(c.Batch(5)).AsInteger(), 1);
    // Inside the limit the batch is the database's to run; SQLite has limits
    // of its own on data statements, which it reports as errors.
    EXPECT_NE(ErrorOf(c.Batch(c.Limit)), kTooDeep);
    EXPECT_EQ(ErrorOf(c.Batch(100000)), kTooDeep);
  }
  // Nothing of a refused batch runs.
  Exec("Create Table T (A int)");
  EXPECT_EQ(ErrorOf("Insert Into T Values (1); Select " + Repeat("(", 2000) + "1" + Repeat(")", 2000)), kTooDeep);
  EXPECT_EQ(Scalar("Select Count(*) From T").AsInteger(), 0);
}

}  // namespace
}  // namespace ooa::test
