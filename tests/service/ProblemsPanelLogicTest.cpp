// The problems panel's rules both windows share: what it lists and how each
// line reads, when its buttons are enabled, and its status line after a
// refresh and after each action, on a real list file.
#include <gtest/gtest.h>

#include <filesystem>

#include "config/ProblemList.h"
#include "service/ProblemsPanelLogic.h"
#include "support/TempDir.h"

namespace ooa::test {
namespace {

TProblem Entry(const std::string& kind, const std::string& key) {
  TProblem p;
  p.Kind = kind;
  if (kind == "receipt") {
    p.Id = ReceiptProblemId(key);
    p.InvoiceNo = key;
  } else {
    p.Id = OrderProblemId(key);
    p.OrderId = key;
  }
  p.Reason = "a reason";
  return p;
}

TEST(ProblemsPanelLogicTest, ListsTheOpenEntriesAndActsOnTheFile) {
  TTempDir dir;
  const std::string path = dir.File("OnlineService.state");
  TProblemList list(path);
  list.Record(Entry("receipt", "W26000002"), "2026-12-08 13:41:00");
  list.Record(Entry("order", "1007"), "2026-12-08 13:42:00");
  list.Record(Entry("order", "1008"), "2026-12-08 13:43:00");
  ASSERT_TRUE(list.Dismiss(OrderProblemId("1008")));

  TOpenProblems open = LoadOpenProblems(path);
  ASSERT_EQ(open.Error, "");
  ASSERT_EQ(open.Entries.size(), 2u);
  EXPECT_EQ(ProblemLine(open.Entries[0]), "Receipt of W26000002");
  EXPECT_EQ(ProblemLine(open.Entries[1]), "Order 1007");

  EXPECT_EQ(ReprintProblem(path, open.Entries[0]), "The next order pass prints the receipt of W26000002 again.");
  EXPECT_EQ(DismissProblem(path, open.Entries[1]), "Order 1007 dismissed.");
  open = LoadOpenProblems(path);
  ASSERT_EQ(open.Entries.size(), 1u);
  EXPECT_EQ(ProblemLine(open.Entries[0]), "Receipt of W26000002 - printing again");
  EXPECT_FALSE(CanReprint(&open.Entries[0]));  // already asked for

  // A list that cannot be read or written says so on the status line.
  std::filesystem::create_directory(dir.File("folder.state"));
  open = LoadOpenProblems(dir.File("folder.state"));
  EXPECT_EQ(open.Error.rfind("The problems list cannot be read: ", 0), 0u) << open.Error;
  const std::string unwritable = dir.File("folder.state/none/OnlineService.state");
  EXPECT_EQ(DismissProblem(unwritable, Entry("order", "1")).rfind("The problems list cannot be written: ", 0), 0u);
}

TEST(ProblemsPanelLogicTest, ButtonsAndStatusLine) {
  const TProblem receipt = Entry("receipt", "W1"), order = Entry("order", "1");
  TProblem waiting = receipt;
  waiting.Reprint = true;
  struct TCase {
    const char* Name;
    const TProblem* Selected;
    bool Reprint, Dismiss;
  } cases[] = {
      {"nothing selected", nullptr, false, false},
      {"a receipt", &receipt, true, true},
      {"a receipt printing again", &waiting, false, true},
      {"an order", &order, false, true},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(CanReprint(c.Selected), c.Reprint) << c.Name;
    EXPECT_EQ(CanDismiss(c.Selected), c.Dismiss) << c.Name;
  }

  EXPECT_EQ(StatusAfterRefresh("Order 1 dismissed.", true), "No problems.");
  EXPECT_EQ(StatusAfterRefresh("No problems.", false), "");
  EXPECT_EQ(StatusAfterRefresh("Order 1 dismissed.", false), "Order 1 dismissed.");
}

}  // namespace
}  // namespace ooa::test
