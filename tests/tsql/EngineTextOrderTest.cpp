// The order of texts in the engine's keys and comparisons: letters without
// regard to case, trailing blanks ignored, otherwise byte by byte.
#include <gtest/gtest.h>

#include "tsql/Value.h"

namespace ooa::test {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(EngineTextOrder, IgnoresCaseAndTrailingBlanks) {
  const struct {
    const char* A;
    const char* B;
    int Order;
  } cases[] = {
      {"W26000123", "w26000123", 0},   {"W26000123", "W26000124", -1},  {"abcdefgh", "abcdefgi", -1},
      {"ABCDEFGHIJ", "abcdefghik", -1}, {"abcdefghijklmnopq", "ABCDEFGHIJKLMNOPQ  ", 0},
      {"abcdefgh", "abcdefghi", -1},   {"abc  ", "ABC", 0},             {"Z", "_", 1},
      {"ABCDEFGH[", "abcdefgh_", -1},  {"", "  ", 0},                   {"\xC3\xA9t\xC3\xA9", "\xC3\xA9T\xC3\xA9", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sign(tsql::CompareText(c.A, c.B)), c.Order) << c.A << " / " << c.B;
    EXPECT_EQ(Sign(tsql::CompareText(c.B, c.A)), -c.Order) << c.B << " / " << c.A;
  }
}

}  // namespace
}  // namespace ooa::test
