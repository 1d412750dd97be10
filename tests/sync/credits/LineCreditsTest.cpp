// CreditedPerLine: how the lines of earlier credit notes are matched to the
// lines of the invoice they credit, including credit notes that named their
// line and ones written without the per-line limits (more of a level than
// the invoice sold).
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/credit/LineCredits.h"

namespace ooa::test {
namespace {

TEST(CreditedPerLine, MatchesCreditLinesToInvoiceLinesByProductAndLevel) {
  // Singles on two lines, a six-pack, and a wine.
  const std::vector<TSoldLine> lines = {
      {1, "BEER", 0, 1, 2}, {2, "BEER", 0, 1, 3}, {3, "BEER", 1, 6, 1}, {4, "WINE", 0, 1, 1}};
  struct TCase {
    const char* Name;
    std::vector<TCreditTaken> Credits;
    std::vector<double> Expected;
  };
  const TCase cases[] = {
      {"fills the lines of a level in ID order", {{"BEER", 0, 1, 4, 0}}, {2, 2, 0, 0}},
      {"levels are kept apart", {{"BEER", 1, 6, 1, 0}, {"BEER", 0, 1, 1, 0}}, {1, 0, 1, 0}},
      {"a named line takes first, whatever the level says", {{"BEER", 0, 1, 1, 3}}, {0, 0, 1, 0}},
      // Two packs back where one was sold: the second pack's 6 units count
      // against the singles.
      {"beyond its level in stock units", {{"BEER", 1, 6, 2, 0}}, {2, 3, 1, 0}},
      // 9 singles back where 5 were sold: the 4 units over are 2/3 of the pack.
      {"beyond its level, in part of a pack", {{"BEER", 0, 1, 9, 0}}, {2, 3, 4.0 / 6, 0}},
      {"beyond everything the product sold", {{"BEER", 1, 6, 3, 0}}, {2, 3, 1, 0}},
      {"other products and quantities taken out take nothing",
       {{"GIN", 0, 1, 1, 0}, {"WINE", 0, 1, -1, 0}, {"WINE", 0, 1, 0, 0}}, {0, 0, 0, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(CreditedPerLine(lines, c.Credits), c.Expected);
  }
}

}  // namespace
}  // namespace ooa::test
