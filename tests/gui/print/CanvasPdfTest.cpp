// The canvas modes drawn by Qt into a PDF file: a line that would reach the
// page height starts a new page, in graphic and in device-font mode.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "config/Config.h"
#include "print/PrinterControlUnit.h"
#include "gui/print/QtCanvasPrinter.h"

namespace ooa::test {
namespace {

// Pages of a PDF file: its page objects ("/Type /Page", not "/Pages").
std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

int PdfPageCount(const std::string& pdf) {
  static const std::regex page(R"(/Type\s*/Page(?![s\w]))");
  return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

TEST(CanvasPdfTest, LineReachingThePageHeightStartsANewPage) {
  RegisterQtCanvasPrinter();
  const TConfig saved = ConfigSnapshot();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (bool graphic : {true, false}) {
    SCOPED_TRACE(graphic ? "graphic mode" : "device-font mode");
    const std::string pdf = dir.filePath(graphic ? "graphic.pdf" : "device.pdf").toStdString();
    TConfig c = saved;
    c.PrinterName = "pdf:" + pdf;
    c.GraphicMode = graphic;
    SetConfig(c);

    ASSERT_TRUE(OpenReceiptPrinter());
    EXPECT_FALSE(ReceiptPrinterRawMode());
    SetNormalFont();
    const int h = ReceiptLineHeight();
    const int pageHeight = ReceiptPageHeight();
    ASSERT_GT(h, 0);
    ASSERT_GT(pageHeight, 8 * h);

    // Lines start at the current line position; the open may have moved it.
    int lines = 0;
    while (ReceiptLinePosition() + h < pageHeight) {
      PrintLine("line " + std::to_string(++lines));
    }
    // The next line would reach the page height exactly or beyond: new page, drawn at the top.
    const int before = ReceiptLinePosition();
    EXPECT_GE(before + h, pageHeight);
    PrintLine("first line of page 2");
    EXPECT_EQ(ReceiptLinePosition(), h);
    CloseReceiptPrinter();
    EXPECT_FALSE(ReceiptDocumentOpen());

    EXPECT_EQ(PdfPageCount(ReadFile(pdf)), 2);
  }
  // A short receipt stays on one page.
  const std::string shortPdf = dir.filePath("short.pdf").toStdString();
  TConfig c = saved;
  c.PrinterName = "pdf:" + shortPdf;
  SetConfig(c);
  ASSERT_TRUE(OpenReceiptPrinter());
  SetNormalFont();
  PrintLine("TAX INVOICE");
  CloseReceiptPrinter();
  EXPECT_EQ(PdfPageCount(ReadFile(shortPdf)), 1);

  SetConfig(saved);
  SetCanvasPrinterFactory(nullptr);
}

}  // namespace
}  // namespace ooa::test

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
