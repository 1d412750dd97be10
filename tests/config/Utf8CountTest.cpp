// Utf8CharCount: the one character count of the T-SQL engine's LEN and
// column widths, the POS text widths and the customer code length.
#include <string>

#include <gtest/gtest.h>

#include "config/Utf8Count.h"

namespace ooa {
namespace {

TEST(Utf8CharCount, CountsCodePointsAndEveryByteThatStartsOne) {
  struct TCase {
    std::string Text;
    size_t Count;
  };
  const TCase cases[] = {
      {"", 0},
      {"BEER-PK2", 8},
      {"Zo\xC3\xAB", 3},                 // 2-byte sequence
      {"\xE4\xB8\x8A\xE6\xB5\xB7", 2},   // 3-byte sequences
      {"\xF0\x9F\x8D\xBA", 1},           // 4-byte sequence
      {"a  ", 3},                        // trailing blanks count
      {std::string("a\0b", 3), 3},       // a NUL is a character
      // Not UTF-8: a stray continuation byte counts nothing, a lead byte
      // without its continuation and a byte no sequence starts with one each.
      {"\x80\xBF", 0},
      {"a\xC3", 2},
      {"\xC3" "a", 2},
      {"\xFF\xFE", 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.Text));
    EXPECT_EQ(Utf8CharCount(c.Text), c.Count);
  }
}

}  // namespace
}  // namespace ooa
