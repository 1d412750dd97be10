// The shared helpers: SQL literals, shop date-times, amounts, lists, text files
// and the receipt code page.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "config/TextCodec.h"
#include "config/UtilUnit.h"
#include "support/TempDir.h"

namespace ooa {
namespace {

using test::TTempDir;

TEST(ParseShopDateTime, AcceptedForms) {
  struct Case {
    const char* Text;
    TDateTime Expected;
  };
  const Case cases[] = {
      {"2024-03-05T14:07:09", TDateTime::FromCivil(2024, 3, 5, 14, 7, 9)},
      {"2024-03-05 14:07:09", TDateTime::FromCivil(2024, 3, 5, 14, 7, 9)},
      {" 2024-03-05 -- 14:07:09 ", TDateTime::FromCivil(2024, 3, 5, 14, 7, 9)},
      {"2024-03-05T14:07", TDateTime::FromCivil(2024, 3, 5, 14, 7, 0)},
      {"2024-3-5 4:07:09", TDateTime::FromCivil(2024, 3, 5, 4, 7, 9)},
      {"2024-03-05T14:07:09.25", TDateTime::FromCivil(2024, 3, 5, 14, 7, 9, 250)},
      {"2024-02-29T23:59:59", TDateTime::FromCivil(2024, 2, 29, 23, 59, 59)},
      {"2024-12-31T00:00:00", TDateTime::FromCivil(2024, 12, 31)},
      {"2024-03-05", TDateTime::FromCivil(2024, 3, 5)},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(ParseShopDateTime(k.Text).TotalMilliseconds(), k.Expected.TotalMilliseconds()) << k.Text;
  }
  EXPECT_DOUBLE_EQ(ParseShopDateTime("1970-01-01T00:00:00").Value, 25569.0);
}

TEST(ParseShopDateTime, RejectedFormsNameTheText) {
  const char* const cases[] = {
      "",
      "not a date",
      "2024/03/05 14:07:09",
      "24-03-05 14:07:09",
      "2024-13-01T00:00:00",
      "2023-02-29T00:00:00",
      "2024-04-31T00:00:00",
      "2024-03-05T24:00:00",
      "2024-03-05T14:60:00",
      "2024-03-05T14:07:60",
      "2024-03-05T14",
      "2024-03-05T14:07:",
      "2024-03-05T14:07:09Z",
      "2024-03-05T14:07:09+01:00",
      "2024-03-05T",
  };
  for (const char* text : cases) {
    try {
      ParseShopDateTime(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const TConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid date and time");
    }
  }
}

TEST(SqlLiterals, DatesAndTimes) {
  struct Case {
    TDateTime Value;
    const char* DateTime;
    const char* Date;
  };
  const Case cases[] = {
      {TDateTime::FromCivil(2024, 3, 5, 14, 7, 9), "'03/05/2024 14:07:09'", "'03/05/2024'"},
      {TDateTime::FromCivil(2024, 12, 31, 23, 59, 59), "'12/31/2024 23:59:59'", "'12/31/2024'"},
      {TDateTime::FromCivil(2024, 12, 31, 23, 59, 59, 999), "'12/31/2024 23:59:59'", "'12/31/2024'"},
      {TDateTime::FromCivil(2025, 1, 1), "'01/01/2025 00:00:00'", "'01/01/2025'"},
      {TDateTime(0.0), "'12/30/1899 00:00:00'", "'12/30/1899'"},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(SqlDateTimeLiteral(k.Value), k.DateTime);
    EXPECT_EQ(SqlDateLiteral(k.Value), k.Date);
  }
}

TEST(SqlLiterals, TextAndBits) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "Null"},
      {"'", "N''''"},
      {"O'Neil", "N'O''Neil'"},
      {"''x'", "N'''''x'''"},
      {"plain", "N'plain'"},
      {"back\\slash \"quoted\"", "N'back\\slash \"quoted\"'"},
      {"\xE7\xAE\x80\xE4\xBD\x93", "N'\xE7\xAE\x80\xE4\xBD\x93'"},
  };
  for (const auto& [text, literal] : cases) EXPECT_EQ(SqlTextLiteral(text), literal) << text;
  EXPECT_EQ(BoolToSqlBit(true), "1");
  EXPECT_EQ(BoolToSqlBit(false), "0");
}

TEST(TextToAmount, KeepsSignsPointsAndDigits) {
  const std::pair<const char*, double> cases[] = {
      {"$1,234.50", 1234.5}, {"(5.00)", -5.0}, {"no digits", 0.0}, {"", 0.0},       {"-12.5", -12.5},
      {"+3", 3.0},           {".5", 0.5},      {"5.", 5.0},        {"1 234,56", 123456.0},
      {"EUR 7.10", 7.1}, {"(0.01) CR", -0.01},
  };
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(TextToAmount(text), value) << text;
}

TEST(TextToAmount, MalformedNumbersRaise) {
  for (const char* text : {"1-2", "--5", "(-5)", "+-1", "5-", "1.2.3", "-", ".", "(.)", "12.5 - 2"}) {
    try {
      TextToAmount(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const TConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid floating point value");
    }
  }
}

TEST(DateTimeToUnixMs, DistanceFrom1970) {
  const std::pair<TDateTime, int64_t> cases[] = {
      {TDateTime(25569.0), 0},
      {TDateTime::FromCivil(1970, 1, 1, 0, 0, 0, 123), 123},
      {TDateTime::FromCivil(1970, 1, 2), 86400000},
      {TDateTime::FromCivil(1969, 12, 31), 86400000},
      {TDateTime::FromCivil(2024, 3, 5, 14, 7, 9), 1709647629000},
  };
  for (const auto& [value, ms] : cases) EXPECT_EQ(DateTimeToUnixMs(value), ms) << value.Value;
}

TEST(IndexOfString, ExactFirstMatch) {
  const std::vector<std::string> list = {"Receipt", "receipt", "Kitchen", "Receipt", ""};
  EXPECT_EQ(IndexOfString({}, "Receipt"), -1);
  EXPECT_EQ(IndexOfString(list, "Receipt"), 0);
  EXPECT_EQ(IndexOfString(list, "receipt"), 1);
  EXPECT_EQ(IndexOfString(list, "KITCHEN"), -1);
  EXPECT_EQ(IndexOfString(list, ""), 4);
  EXPECT_EQ(IndexOfString(list, "Receipt "), -1);
}

TEST(Delay, WaitsAtLeastTheTime) {
  const auto start = std::chrono::steady_clock::now();
  Delay(30);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
  Delay(0);
  Delay(-5);
}

class CodePage : public ::testing::Test {
 protected:
  void TearDown() override { SetAnsiCodePage("CP1252"); }
  TTempDir Dir;
};

TEST_F(CodePage, ReadTextFileDecodesByItsFirstBytes) {
  struct Case {
    const char* Name;
    std::string Bytes;
    std::string Text;
  };
  const Case cases[] = {
      {"only-mark", "\xFF\xFE", ""},
      {"empty", "", ""},
      {"utf16", "\xFF\xFE" + Utf8ToUtf16Le("Merci, \xC3\xA0 bient\xC3\xB4t\r\n\xE2\x82\xAC"),
       "Merci, \xC3\xA0 bient\xC3\xB4t\r\n\xE2\x82\xAC"},
      {"utf16-odd-byte", std::string("\xFF\xFE" "A\0B", 5), "A"},
      {"cp1252", "Caf\xE9 \x80 5", "Caf\xC3\xA9 \xE2\x82\xAC 5"},
      {"utf8-mark-is-text", "\xEF\xBB\xBFok", "\xC3\xAF\xC2\xBB\xC2\xBFok"},
  };
  for (const Case& k : cases) EXPECT_EQ(ReadTextFile(Dir.Write(k.Name, k.Bytes)), k.Text) << k.Name;

  EXPECT_EQ(ReadTextFile(Dir.File("missing.CFG")), "");
  EXPECT_EQ(ReadTextFile(Dir.File("missing/below.CFG")), "");
  std::filesystem::create_directory(Dir.File("folder"));
  EXPECT_THROW(ReadTextFile(Dir.File("folder")), std::runtime_error);

  SetAnsiCodePage("GBK");
  EXPECT_EQ(ReadTextFile(Dir.Write("gbk", "\xD6\xD0\xCE\xC4")), "\xE4\xB8\xAD\xE6\x96\x87");
}

// The names the settings use, as iconv names them, mean the same code page on
// every platform.
TEST(CodePageNames, EachNameConvertsBothWays) {
  const struct {
    const char* Name;
    const char* Utf8;
    const char* Bytes;
  } cases[] = {
      {"CP437", "\xC3\xA9\xE2\x95\x90", "\x82\xCD"},       {"IBM850", "\xC3\xA9\xC3\x98", "\x82\x9D"},
      {"cp1252", "\xE2\x82\xAC", "\x80"},                    {"ISO-8859-15", "\xE2\x82\xAC", "\xA4"},
      {"SHIFT_JIS", "\xE6\x97\xA5", "\x93\xFA"},           {"BIG5", "\xE4\xB8\xAD", "\xA4\xA4"},
      {"CP866", "\xD0\x96", "\x86"},                          {"UTF-8", "\xC3\xA9", "\xC3\xA9"},
  };
  for (const auto& k : cases) {
    EXPECT_TRUE(IsKnownCodePage(k.Name)) << k.Name;
    EXPECT_EQ(Utf8ToCodePage(k.Utf8, k.Name), k.Bytes) << k.Name;
    EXPECT_EQ(CodePageToUtf8(k.Bytes, k.Name), k.Utf8) << k.Name;
  }
  EXPECT_FALSE(IsKnownCodePage(""));
  for (const char* unknown : {"NO-SUCH-PAGE", "CP99999"}) {
    EXPECT_FALSE(IsKnownCodePage(unknown)) << unknown;
    EXPECT_THROW(Utf8ToCodePage("a", unknown), std::invalid_argument) << unknown;
  }
}

TEST_F(CodePage, ConversionsReplaceWhatTheCodePageCannotHold) {
  EXPECT_EQ(AnsiCodePage(), "CP1252");
  EXPECT_EQ(Utf8ToAnsi("Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xE9 \x80");
  EXPECT_EQ(Utf8ToAnsi("a\xE4\xB8\xAD" "b"), "a?b");
  EXPECT_EQ(Utf8ToAnsi("a\xF0\x9F\x98\x80" "b"), "a?b");  // one mark for a character beyond 16 bits
  EXPECT_EQ(Utf8ToAnsi("a\xFF" "b"), "a?b");
  EXPECT_EQ(AnsiToUtf8("\x81"), "?");  // unassigned in CP1252

  EXPECT_THROW(SetAnsiCodePage("NO-SUCH-PAGE"), std::invalid_argument);
  EXPECT_EQ(AnsiCodePage(), "CP1252");

  SetAnsiCodePage("GBK");
  EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD\xE6\x96\x87 1"), "\xD6\xD0\xCE\xC4 1");
  EXPECT_EQ(AnsiToUtf8("\xD6\xD0\xCE"), "\xE4\xB8\xAD?");  // cut off inside a character
}

TEST(FloatToText, ShortestFormWithPoint) {
  const std::pair<double, const char*> cases[] = {
      {1.5, "1.5"},    {12.0, "12"},       {0.1, "0.1"},         {0.1 + 0.2, "0.3"}, {-0.0, "0"},
      {-2.25, "-2.25"}, {1234567.891, "1234567.891"}, {1e20, "1e+20"}, {0.000001, "1e-06"},
      {100000, "100000"}, {-5, "-5"},  {999999999999999, "999999999999999"}, {1e15, "1e+15"}, {-1e15, "-1e+15"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FloatToText(value), text) << value;
}

}  // namespace
}  // namespace ooa
