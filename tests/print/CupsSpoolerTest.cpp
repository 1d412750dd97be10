// Raw receipts through a real print spooler: the test runs its own cupsd (a
// Unix socket in a temporary folder, an open policy) with a raw queue aimed at
// the printer stand-in, prints through libcups and reads the job back from
// the stand-in. Skipped, with the reason, where cupsd cannot run.
#include <gtest/gtest.h>

// The spooler of the Windows edition is tested by SpoolerTest.
#ifdef _WIN32
TEST(CupsSpoolerTest, RunsOnLinuxOnly) { GTEST_SKIP() << "cupsd, the spooler this test runs, exists on Linux only"; }
#else

#include <algorithm>

#include "escpos-view/EscPosDecode.h"
#include "print/CanvasPrinter.h"
#include "print/PrinterControlUnit.h"
#include "print/PrinterFixture.h"
#include "print/PrinterList.h"
#include "support/CupsSpooler.h"
#include "support/PrinterStandin.h"

namespace ooa::test {
namespace {

int RunCommand(const std::string& command, std::string& output) { return TCupsSpooler::Run(command, output); }

class CupsSpoolerTest : public TPrinterTest {
 protected:
  void SetUp() override {
    TPrinterTest::SetUp();
    TPrinterTimings t = PrinterTimings();
    t.IoTimeoutMs = 15000;
    SetPrinterTimings(t);
    std::string whyNot;
    if (!Spooler.Start(whyNot)) GTEST_SKIP() << whyNot;
  }

  void TearDown() override {
    TPrinterTest::TearDown();
    SetCanvasPrinterFactory(nullptr);
  }

  // Adds a raw queue aimed at the address; fails the test when lpadmin does.
  void AddRawQueue(const std::string& name, const std::string& uri) {
    std::string out;
    ASSERT_TRUE(Spooler.AddRawQueue(name, uri, out)) << out;
  }

  TCupsSpooler Spooler;
};

TEST_F(CupsSpoolerTest, RawJobArrivesByteForByte) {
  TPrinterStandin standin;
  AddRawQueue("Receipt", standin.Address());
  const auto installed = InstalledPrinters();
  EXPECT_NE(std::find(installed.begin(), installed.end(), "Receipt"), installed.end());
  EXPECT_TRUE(IsTextOnlyPrinter("Receipt"));

  UsePrinter("Receipt");
  ASSERT_TRUE(OpenReceiptPrinter());
  EXPECT_TRUE(ReceiptPrinterRawMode());
  PrintLogo();
  SetDoubleWidthFont();
  PrintLine(CenterText("ONLINE ORDER #42", 20));
  SetNormalFont();
  PrintLine("AB");
  PrintBarcode("1234567890", 1);
  CloseReceiptPrinter();

  const auto jobs = standin.WaitForJobs(1, 30000);
  ASSERT_EQ(jobs.size(), 1u) << Spooler.ErrorLog();
  EXPECT_EQ(jobs[0], Hex("1B 40 0C 1C 70 01 00 1B 21 20 1D 21 10") + "  ONLINE ORDER #42\r\n" +
                         Hex("1B 21 00 1D 42 00 1D 21 00") + "AB\r\n" +
                         Hex("1B 61 01 1D 68 32 1D 77 02 1D 66 00 1D 48 02 1D 6B 48 0A") + "1234567890" +
                         Hex("00 1B 21 00 1D 42 00 1D 21 00 1B 64 05 1D 56 01"));
  const escpos::TReceipt r = escpos::Decode(jobs[0]);
  EXPECT_EQ(r.LinesOfSize({2, 1}), std::vector<std::string>{"  ONLINE ORDER #42"});
  EXPECT_EQ(r.OfKind(escpos::TItem::TKind::Barcode).at(0).Symbology, "CODE93");
}

TEST_F(CupsSpoolerTest, QueueThatRejectsJobsOpensNothing) {
  TPrinterStandin standin;
  AddRawQueue("Closed", standin.Address());
  std::string out;
  ASSERT_EQ(RunCommand("cupsreject Closed", out), 0) << out;
  UsePrinter("Closed");
  EXPECT_FALSE(OpenReceiptPrinter());
  EXPECT_FALSE(ReceiptDocumentOpen());
}

// A canvas that only records where it was asked to print.
class TRecordingCanvas : public ICanvasPrinter {
 public:
  explicit TRecordingCanvas(TCanvasTarget* seen) : Seen(seen) {}
  void BeginDoc() override { Open = true; }
  void EndDoc() override { Open = false; }
  bool Printing() const override { return Open; }
  void NewPage() override {}
  int PageHeight() const override { return 1000; }
  void SetFont(const TCanvasFont&) override {}
  int TextHeight(const std::string&) override { return 10; }
  void TextOut(int, int, const std::string&) override {}
  TCanvasTarget* Seen;
  bool Open = false;
};

TEST_F(CupsSpoolerTest, UnknownNameFallsBackToTheDefaultQueueInCanvasMode) {
  TPrinterStandin standin;
  AddRawQueue("Default", standin.Address());
  std::string out;
  ASSERT_EQ(RunCommand("lpadmin -d Default", out), 0) << out;
  TCanvasTarget seen;
  SetCanvasPrinterFactory([&seen](const TCanvasTarget& t) {
    seen = t;
    return std::make_unique<TRecordingCanvas>(&seen);
  });
  UsePrinter("Not installed");
  ASSERT_TRUE(OpenReceiptPrinter());
  // The unknown name cannot be known to be text-only: the default queue is
  // used in a canvas mode.
  EXPECT_FALSE(ReceiptPrinterRawMode());
  EXPECT_EQ(seen.Queue, "Default");
  CloseReceiptPrinter();
}

}  // namespace
}  // namespace ooa::test

#endif  // _WIN32
