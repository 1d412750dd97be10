// TProblemList::LastSeen: the entries as the object last read or changed
// them, which the order pass uses instead of reading the file a second time.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/ProblemList.h"
#include "support/TempDir.h"

namespace ooa {
namespace {

std::vector<std::string> Ids(const std::vector<TProblem>& problems) {
  std::vector<std::string> ids;
  for (const TProblem& p : problems) ids.push_back(p.Id + (p.Dismissed ? " dismissed" : ""));
  return ids;
}

TProblem Order(const std::string& id) {
  TProblem p;
  p.Id = OrderProblemId(id);
  p.Kind = "order";
  p.OrderId = id;
  p.Reason = "Order data error.";
  return p;
}

TEST(ProblemListLastSeen, FollowsTheObjectsOwnReadsAndChangesOnly) {
  test::TTempDir dir;
  TProblemList pass(dir.File("OnlineService.state"));
  TProblemList owner(dir.File("OnlineService.state"));
  EXPECT_FALSE(pass.LastSeen());

  owner.Record(Order("1"), "2026-12-08 13:41:00");
  EXPECT_EQ(Ids(pass.Load()), (std::vector<std::string>{"order:1"}));
  pass.Record(Order("2"), "2026-12-08 13:41:00");
  ASSERT_TRUE(pass.LastSeen());
  EXPECT_EQ(Ids(*pass.LastSeen()), (std::vector<std::string>{"order:1", "order:2"}));

  // A change through another object shows at the next read or change.
  owner.Dismiss("order:1");
  EXPECT_EQ(Ids(*pass.LastSeen()), (std::vector<std::string>{"order:1", "order:2"}));
  EXPECT_TRUE(pass.Resolve("order:2"));
  EXPECT_EQ(Ids(*pass.LastSeen()), (std::vector<std::string>{"order:1 dismissed"}));
  // A change that finds nothing to do still saw the file.
  owner.Record(Order("3"), "2026-12-08 13:42:00");
  EXPECT_FALSE(pass.Resolve("order:9"));
  EXPECT_EQ(Ids(*pass.LastSeen()), (std::vector<std::string>{"order:1 dismissed", "order:3"}));
}

TEST(ProblemListLastSeen, NothingAfterAFailedReadOrChange) {
  test::TTempDir dir;
  TProblemList list(dir.File("OnlineService.state"));
  list.Record(Order("1"), "2026-12-08 13:41:00");
  ASSERT_TRUE(list.LastSeen());
  // The directory goes: the lock file cannot be made.
  std::filesystem::remove_all(dir.Path());
  EXPECT_ANY_THROW(list.Record(Order("2"), "2026-12-08 13:41:00"));
  EXPECT_FALSE(list.LastSeen());
  std::filesystem::create_directories(dir.Path());
  list.Load();
  EXPECT_TRUE(list.LastSeen());
  std::filesystem::remove_all(dir.Path());
  EXPECT_ANY_THROW(list.Load());
  EXPECT_FALSE(list.LastSeen());
  std::filesystem::create_directories(dir.Path());
}

}  // namespace
}  // namespace ooa
