// The text forms of receipt amounts and numbers: the currency form under
// different monetary conventions, rounding on the decimal expansion, halves
// to even, the short form; and how texts are cut into receipt lines.
#include <gtest/gtest.h>

#include "config/UtilUnit.h"
#include "print/receipt/ReceiptText.h"

namespace ooa::test {
namespace {

TReceiptLocale Euro() {
  TReceiptLocale l;
  l.CurrencySymbol = "EUR";
  l.SymbolBefore = l.NegSymbolBefore = false;
  l.SpaceAfterSymbol = l.NegSpace = true;
  l.MoneyDecimal = ",";
  l.MoneyThousands = ".";
  l.NumberDecimal = ",";
  return l;
}
TReceiptLocale NegativeForm(int position) {
  TReceiptLocale l;
  l.NegSignPosition = position;
  return l;
}

struct TMoneyCase {
  double Value;
  int Width;
  TReceiptLocale Locale;
  const char* Text;
};

TEST(ReceiptText, MoneyFollowsTheMonetaryConventions) {
  TReceiptLocale indian;
  indian.Grouping = "\3\2";
  const TMoneyCase cases[] = {
      {1234.5, 4, {}, "$1,234.50"},
      {-4.55, 10, {}, "    -$4.55"},
      {1234567.891, 0, {}, "$1,234,567.89"},
      {-0.001, 0, {}, "$0.00"},  // no minus on a zero
      {0.005, 0, {}, "$0.01"},
      {-1234.5, 0, Euro(), "-1.234,50 EUR"},
      {1234.5, 14, Euro(), "  1.234,50 EUR"},
      {-4.55, 0, NegativeForm(0), "($4.55)"},
      {-4.55, 0, NegativeForm(2), "$4.55-"},
      {-4.55, 0, NegativeForm(4), "$-4.55"},
      {12345678, 0, indian, "$1,23,45,678.00"},
  };
  for (const TMoneyCase& c : cases) EXPECT_EQ(MoneyText(c.Value, 2, c.Width, c.Locale), c.Text) << c.Text;
}

TEST(ReceiptText, LocaleWithoutMonetaryConventionsUsesDollars) {
  for (const char* name : {"C", "POSIX", "C.UTF-8", "xx_NOWHERE.UTF-8"}) {
    const TReceiptLocale l = ReceiptLocaleOf(name);
    EXPECT_EQ(MoneyText(-1234.5, 2, 0, l), "-$1,234.50") << name;
    EXPECT_EQ(NumberText(0.35, 3, 0, l), "0.350") << name;
  }
}

TEST(ReceiptText, FixedDecimalsRoundHalvesAwayFromZeroOnTheDecimalExpansion) {
  const std::pair<double, const char*> cases[] = {
      {0.335, "0.34"}, {1.005, "1.01"},     {2.675, "2.68"},          {-1.005, "-1.01"},
      {0.0049, "0.00"}, {999.995, "1000.00"}, {1e-20, "0.00"},        {123456789.125, "123456789.13"},
      {4.5465, "4.55"}, {-0.004, "0.00"},     {1e16, "10000000000000000.00"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FixedText(value, 2), text) << text;
  EXPECT_EQ(FixedText(1001, 0), "1001");
  EXPECT_EQ(FixedText(0.35, 3, ","), "0,350");
  EXPECT_DOUBLE_EQ(Money2(0.335), 0.34);
}

TEST(ReceiptText, RoundHalvesToEven) {
  const std::pair<double, double> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {-3.5, -4}, {2.4, 2}, {-2.6, -3}};
  for (const auto& [value, rounded] : cases) EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

TEST(ReceiptText, ShortFormOfNumbers) {
  EXPECT_EQ(ShortNumberText(2, {}), "2");
  EXPECT_EQ(ShortNumberText(-1, {}), "-1");
  EXPECT_EQ(ShortNumberText(0.35, {}), "0.35");
  EXPECT_EQ(ShortNumberText(0.1 + 0.2, {}), "0.3");
  EXPECT_EQ(ShortNumberText(1.5, Euro()), "1,5");
}

TEST(ReceiptText, TextsSplitIntoLinesAtEveryKindOfBreak) {
  const struct {
    std::string Text;
    std::vector<std::string> Lines;
  } cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"\n", {""}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.Text), c.Lines) << ::testing::PrintToString(c.Text);
}

// Notes wrap between words, so a credit-note number is never cut in two; a
// word longer than the line is cut, never inside a double-byte character.
TEST(ReceiptText, LinesWrapBetweenWords) {
  const std::string saved = AnsiCodePage();
  SetAnsiCodePage("GBK");
  const std::string zhong = "\xD6\xD0";  // one GBK character, two columns
  const struct {
    const char* Case;
    std::string Line;
    int Width;
    std::vector<std::string> Pieces;
  } cases[] = {
      {"fits", "Leave at door", 40, {"Leave at door"}},
      {"empty", "", 40, {""}},
      {"a reference that would cross the edge", "This Invoice has been credited: CN26000001", 40,
       {"This Invoice has been credited:", "CN26000001"}},
      {"exactly the width", std::string(40, 'x'), 40, {std::string(40, 'x')}},
      {"a word longer than the line", "ab " + std::string(12, 'x'), 5, {"ab", "xxxxx", "xxxxx", "xx"}},
      {"double-byte characters", "A" + zhong + zhong + zhong, 4, {"A" + zhong, zhong + zhong}},
      {"spaces at the break go", "one    two", 5, {"one", "two"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    EXPECT_EQ(WrapWords(c.Line, c.Width), c.Pieces);
  }
  SetAnsiCodePage(saved);
}

}  // namespace
}  // namespace ooa::test
