// The canvas modes as the receipt printer drives a canvas: which font each
// character is drawn in (the receipt driver triggers logo, barcode and cut by
// characters of its "control" font), where lines go, and when pages break.
// The canvas here only records; the Qt canvas is tested on PDF output.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "print/CanvasPrinter.h"
#include "print/PrinterControlUnit.h"
#include "print/PrinterFixture.h"
#include "support/TempDir.h"

namespace ooa::test {
namespace {

struct TDrawn {
  std::vector<std::string> Texts;  // "font/size[ bold]:text@y", "page"
  int PageHeight = 1000;
};

class TRecordingCanvas : public ICanvasPrinter {
 public:
  explicit TRecordingCanvas(TDrawn* drawn) : Drawn(drawn) {}
  void BeginDoc() override { Open = true; }
  void EndDoc() override { Open = false; }
  bool Printing() const override { return Open; }
  void NewPage() override { Drawn->Texts.push_back("page"); }
  int PageHeight() const override { return Drawn->PageHeight; }
  void SetFont(const TCanvasFont& font) override { Font = font; }
  int TextHeight(const std::string&) override { return Font.Size * 2; }
  void TextOut(int x, int y, const std::string& text) override {
    Drawn->Texts.push_back(Font.Name + "/" + std::to_string(Font.Size) + (Font.Bold ? " bold" : "") + ":" + text +
                           "@" + std::to_string(y));
  }

 private:
  TDrawn* Drawn;
  TCanvasFont Font;
  bool Open = false;
};

class CanvasModeTest : public TPrinterTest {
 protected:
  void SetUp() override {
    TPrinterTest::SetUp();
    SetCanvasPrinterFactory([this](const TCanvasTarget& target) {
      Target = target;
      return std::make_unique<TRecordingCanvas>(&Drawn);
    });
  }
  void TearDown() override {
    TPrinterTest::TearDown();
    SetCanvasPrinterFactory(nullptr);
  }
  static void PrintSample() {
    PrintLogo();
    SetDoubleWidthFont();
    PrintLine("AB");
    PrintBarcode("123", 2);
    SetNormalFont();
    PrintLine("C");
    CloseReceiptPrinter();
  }

  std::string Pdf() const { return "pdf:" + Dir.File("receipt.pdf"); }

  TDrawn Drawn;
  TCanvasTarget Target;
  TTempDir Dir;
};

TEST_F(CanvasModeTest, DeviceFontModeDrawsPrinterFunctionsInTheControlFont) {
  UsePrinter(Pdf(), false);
  ASSERT_TRUE(OpenReceiptPrinter());
  EXPECT_FALSE(ReceiptPrinterRawMode());
  EXPECT_EQ(Target.PdfFile, Dir.File("receipt.pdf"));
  SetNormalFont();  // line height 18 (the recorder's height is twice the size)
  PrintSample();
  EXPECT_EQ(Drawn.Texts, (std::vector<std::string>{
                             "control/1:w@0",  // start of the receipt (the line position is 0 after it)
                             "control/1:H@0",  // logo
                             "FONTA21/9:AB@18",
                             "control/1:x@36",     // barcode start ...
                             "Barcode1/1:123@54",  // ... its data in the barcode font ...
                             "control/1:w@56",     // ... and its end, one barcode line height (2) below
                             "FONTA11/9:C@58",
                             "FONTA11/9: @76",  // cut: three blank lines, then "g"
                             "FONTA11/9: @94",
                             "FONTA11/9: @112",
                             "control/1:g@130",
                             "control/1: @148",  // the last mark, where the next line would go
                         }));
  EXPECT_FALSE(ReceiptDocumentOpen());
}

TEST_F(CanvasModeTest, GraphicModeDrawsBoldCourierNew) {
  UsePrinter(Pdf(), true);
  ASSERT_TRUE(OpenReceiptPrinter());
  SetNormalFont();  // Courier New 8 bold: line height 16
  PrintSample();
  EXPECT_EQ(Drawn.Texts, (std::vector<std::string>{
                             "control/1:H@0",  // nothing at the start of the receipt
                             "Courier New/16 bold:AB@16",
                             "control/1:x@48",
                             "Barcode1/1:123@80",
                             "control/1:w@82",
                             "Courier New/8 bold:C@84",
                             "Courier New/8 bold: @100",
                             "Courier New/8 bold: @116",
                             "Courier New/8 bold: @132",
                             "control/1 bold:g@148",  // the cut keeps the style of the normal size
                             "control/1 bold: @164",
                         }));
}

TEST_F(CanvasModeTest, LineThatWouldReachThePageHeightGoesToANewPage) {
  Drawn.PageHeight = 54;  // three lines of 18 fill the page exactly
  UsePrinter(Pdf(), false);
  ASSERT_TRUE(OpenReceiptPrinter());  // "w" at 0 with no line height yet
  SetNormalFont();
  Drawn.Texts.clear();
  PrintLine("1");  // at 0
  PrintLine("2");  // at 18
  PrintLine("3");  // at 36: 36 + 18 reaches 54, a new page first
  EXPECT_EQ(Drawn.Texts,
            (std::vector<std::string>{"FONTA11/9:1@0", "FONTA11/9:2@18", "page", "FONTA11/9:3@0"}));
  EXPECT_EQ(ReceiptLinePosition(), 18);

  // "N/A" leaves everything as it was, the line position included.
  UsePrinter("N/A");
  EXPECT_FALSE(OpenReceiptPrinter());
  EXPECT_EQ(ReceiptLinePosition(), 18);
  EXPECT_TRUE(ReceiptDocumentOpen());
}

TEST_F(CanvasModeTest, WithoutACanvasImplementationNothingIsOpened) {
  SetCanvasPrinterFactory(nullptr);
  UsePrinter(Pdf(), true);
  EXPECT_FALSE(OpenReceiptPrinter());
  EXPECT_FALSE(ReceiptDocumentOpen());
}

}  // namespace
}  // namespace ooa::test
