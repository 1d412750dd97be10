// The ESC/POS decoder and renderers of escpos-view, which the receipt tests
// rely on to read what the printer received, in the code pages the service
// prints.
#include <gtest/gtest.h>

#include <filesystem>

#include "escpos-view/EscPosDecode.h"
#include "print/PrinterFixture.h"
#include "support/TempDir.h"

namespace ooa::test {
namespace {

using escpos::TItem;
using TKind = TItem::TKind;

// What the receipt printer code sends for a short receipt (CP1252 text).
const std::string Receipt =
    Hex("1B 40 0C 1C 70 01 00 1B 21 20 1D 21 10") + "  ONLINE ORDER #42\r\n" +
    Hex("1B 21 00 1D 42 00 1D 21 00") + "Caf\xE9 " + std::string(40, '=') + "\r\n" +  // 45 bytes: wraps
    Hex("1B 21 30 1D 21 11") + "TOTAL 0123456789012345678\r\n" +                     // 25 bytes in 20 columns
    Hex("1B 21 00 1D 42 00 1D 21 00") + "\r\n" +
    Hex("1B 61 01 1D 68 32 1D 77 02 1D 66 00 1D 48 02 1D 6B 48 0A") + "1234567890" + Hex("00") +
    Hex("1B 61 00 1D 68 32 1D 77 03 1D 66 00 1D 48 02 1D 6B 04") + "AB" + Hex("00") +
    Hex("1B 21 00 1D 42 00 1D 21 00 1B 64 05 1D 56 01");

TEST(EscPosViewTest, TextRenderingShowsColumnsSizesAndMarks) {
  EXPECT_EQ(escpos::RenderText(escpos::Decode(Receipt)),
            "[logo 1]\n"
            "[double width]\n"
            "  ONLINE ORDER #42\n"
            "[normal]\n"
            "Caf\xC3\xA9 ===================================\n"
            "=====\n"
            "[large]\n"
            "TOTAL 01234567890123\n"
            "45678\n"
            "[normal]\n"
            "\n"
            "[barcode CODE93 \"1234567890\" centre]\n"
            "[barcode CODE39 \"AB\" left]\n"
            "[feed 5]\n"
            "[partial cut]\n");
}

TEST(EscPosViewTest, DecoderKeepsSizeAndJustificationOfEachLine) {
  const escpos::TReceipt r = escpos::Decode(Receipt + Hex("1B 61 01 1B 21 08") + "centred bold\n");
  EXPECT_EQ(r.LinesOfSize({2, 2}), std::vector<std::string>{"TOTAL 0123456789012345678"});
  const TItem last = r.Items.back();
  EXPECT_EQ(last.Text, "centred bold");
  EXPECT_EQ(last.Align, escpos::TAlign::Centre);
  EXPECT_TRUE(last.Bold);
  EXPECT_EQ(r.OfKind(TKind::Init).size(), 1u);
}

TEST(EscPosViewTest, BrokenOrForeignBytesAreShownNotLost) {
  const struct {
    const char* Name;
    std::string Bytes;
    std::string Unknown;  // the bytes the decoder must report as unknown
  } cases[] = {
      {"stream ends inside a command", "ok\n" + Hex("1D 21"), Hex("1D 21")},
      {"barcode without its end", Hex("1D 6B 04") + "12", Hex("1D 6B 04") + "12"},
      {"CODE93 shorter than its length", Hex("1D 6B 48 05") + "12", Hex("1D 6B 48 05") + "12"},
      {"unknown ESC command", Hex("1B 7E") + "x\n", Hex("1B 7E")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const escpos::TReceipt r = escpos::Decode(c.Bytes);
    const auto unknown = r.OfKind(TKind::Unknown);
    ASSERT_EQ(unknown.size(), 1u);
    EXPECT_EQ(unknown[0].Text, c.Unknown);
  }
}

TEST(EscPosViewTest, PngShowsThePaper) {
  TTempDir dir;
  std::string error;
  const std::string shortPng = dir.File("short.png"), longPng = dir.File("long.png");
  ASSERT_TRUE(escpos::WritePng(escpos::Decode(Receipt), shortPng, error)) << error;
  ASSERT_TRUE(escpos::WritePng(escpos::Decode(Receipt + std::string(20, '\n')), longPng, error)) << error;
  // PNG signature, then the header: width and height as big-endian numbers.
  auto header = [](const std::string& png, size_t at) {
    return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  const std::string a = TTempDir::Read(shortPng), b = TTempDir::Read(longPng);
  ASSERT_GT(a.size(), 24u);
  EXPECT_EQ(a.substr(0, 8), "\x89PNG\r\n\x1A\n");
  EXPECT_EQ(header(a, 16), 40u * 12 + 48);          // 40 columns of 12 dots and the margins
  EXPECT_EQ(header(b, 20) - header(a, 20), 20u * 24);  // 20 more lines of 24 dots
  EXPECT_FALSE(escpos::WritePng(escpos::Decode(Receipt), dir.File("no/such/folder.png"), error));
  EXPECT_NE(error.find("no/such/folder.png"), std::string::npos);
  // A UTF-8 path beyond ASCII names the file it says (on Windows too).
  const std::string named = dir.File("K\xC3\xA4ssa \xE4\xB8\xAD.png");
  ASSERT_TRUE(escpos::WritePng(escpos::Decode(Receipt), named, error)) << error;
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(std::u8string(named.begin(), named.end()))));
}

// The double-byte code pages the service prints read as their characters,
// two columns each, never split at the end of a line; single-byte ones too.
TEST(EscPosViewTest, TextInEveryCodePageReadsAsItsCharacters) {
  const std::string gbk = "\xD6\xD0\xCE\xC4";  // 中文
  const struct {
    const char* CodePage;
    std::string Bytes, Text;
  } cases[] = {
      {"GBK", "Name: " + gbk, "Name: \u4E2D\u6587"},
      {"BIG5", "\xA4\xA4\xA4\xE5", "\u4E2D\u6587"},
      {"SHIFT_JIS", "\x93\xFA\x96\x7B \xB1", "\u65E5\u672C \uFF71"},
      {"CP1252", "Caf\xE8", "Caf\u00E8"},
      // 41 columns: the 20th character goes to the next line whole.
      {"GBK", "A" + std::string() + [&] { std::string t; for (int i = 0; i < 10; ++i) t += gbk; return t; }(),
       "A" + [] { std::string t; for (int i = 0; i < 9; ++i) t += "\u4E2D\u6587"; return t; }() + "\u4E2D\n\u6587"},
      {"GBK", "\xD6", "?"},  // a lead byte without its second byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.CodePage) + ": " + c.Text);
    EXPECT_EQ(escpos::RenderText(escpos::Decode(c.Bytes + "\r\n"), c.CodePage), c.Text + "\n");
  }
}

// The picture draws each character through a font: a Chinese name or an
// accented letter is not the same picture as question marks.
TEST(EscPosViewTest, PngDrawsEveryCharacterThroughAFont) {
  TTempDir dir;
  auto png = [&](const std::string& text, const std::string& codePage) {
    const std::string path = dir.File("r.png");
    std::string error;
    EXPECT_TRUE(escpos::WritePng(escpos::Decode(text + "\r\n"), path, error, codePage)) << error;
    return TTempDir::Read(path);
  };
  EXPECT_NE(png("\xD6\xD0\xCE\xC4", "GBK"), png("????", "GBK"));
  EXPECT_NE(png("\xD6\xD0\xCE\xC4", "GBK"), png("\xC4\xE3\xBA\xC3", "GBK"));  // 中文, 你好
  EXPECT_NE(png("Caf\xE8", "CP1252"), png("Caf?", "CP1252"));
  EXPECT_NE(png("Caf\xE8", "CP1252"), png("Cafe", "CP1252"));
  EXPECT_EQ(png("Cafe", "CP1252"), png("Cafe", "CP1252"));
}

}  // namespace
}  // namespace ooa::test
