// The text of a float as the engine gives it (results, conversions to text):
// rounded to 15 significant digits, then the shortest text that reads back,
// with a plain number preferred on a tie and "E" with no "+" or leading zero.
#include <gtest/gtest.h>

#include <string>

#include "tsql/Value.h"

namespace ooa::test {
namespace {

TEST(EngineFloatText, WritesTheShortestText) {
  const struct {
    double Value;
    const char* Text;
  } cases[] = {
      {0, "0"},          {-0.0, "0"},          {5, "5"},           {-5, "-5"},
      {1500, "1500"},    {10000, "10000"},     {100000, "1E5"},    {-100000, "-1E5"},
      {120000, "120000"}, {1200000, "1200000"}, {12000000, "1.2E7"}, {1000000, "1E6"},
      {123456789012345, "123456789012345"},    {1e14, "1E14"},     {99999999999999, "99999999999999"},
      {1e15, "1E15"},    {2.25, "2.25"},       {0.1 + 0.2, "0.3"}, {1e-5, "1E-5"},
  };
  for (const auto& c : cases) EXPECT_EQ(tsql::FormatFloat(c.Value), c.Text) << c.Value;
}

}  // namespace
}  // namespace ooa::test
