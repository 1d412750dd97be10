// Raw receipts through a real print spooler: the test runs its own cupsd (a
// Unix socket in a temporary folder, an open policy) with a raw queue aimed at
// the printer stand-in, prints through libcups and reads the job back from
// the stand-in. Skipped, with the reason, where cupsd cannot run.
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "escpos-view/EscPosDecode.h"
#include "print/CanvasPrinter.h"
#include "print/PrinterControlUnit.h"
#include "print/PrinterFixture.h"
#include "print/PrinterList.h"
#include "support/PrinterStandin.h"
#include "support/TempDir.h"

namespace ooa::test {
namespace {

// Runs a command line; its exit status, with its output in output.
int RunCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (!p) return -1;
  char buf[256];
  while (size_t n = std::fread(buf, 1, sizeof buf, p)) output.append(buf, n);
  const int status = ::pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class CupsSpoolerTest : public TPrinterTest {
 protected:
  void SetUp() override {
    TPrinterTest::SetUp();
    TPrinterTimings t = PrinterTimings();
    t.IoTimeoutMs = 15000;
    SetPrinterTimings(t);
    if (::access("/usr/sbin/cupsd", X_OK) != 0) GTEST_SKIP() << "cupsd is not installed (package cups)";
    const std::string T = Dir.Path();
    for (const char* d : {"spool", "cache", "run", "log"}) std::filesystem::create_directory(Dir.File(d));
    Socket = Dir.File("cups.sock");
    std::ofstream(Dir.File("cupsd.conf")) << "Listen " << Socket << "\n"
                                          << "LogLevel warn\nDefaultAuthType None\n"
                                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                             "<Policy default>\n  <Limit All>\n    Order allow,deny\n"
                                             "    Allow all\n  </Limit>\n</Policy>\n";
    std::ofstream(Dir.File("cups-files.conf")) << "ServerRoot " << T << "\nRequestRoot " << T << "/spool\n"
                                               << "CacheDir " << T << "/cache\nStateDir " << T << "/run\n"
                                               << "ErrorLog " << T << "/log/error_log\nAccessLog " << T
                                               << "/log/access_log\nPageLog " << T << "/log/page_log\n"
                                               << "Sandboxing Relaxed\n";
    // cupsd runs its backends as user lp: the folders must be open to it.
    for (const auto& e : std::filesystem::recursive_directory_iterator(T)) ::chmod(e.path().c_str(), 0777);
    ::chmod(T.c_str(), 0777);

    Cupsd = ::fork();
    if (Cupsd == 0) {
      ::execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", Dir.File("cupsd.conf").c_str(), "-s",
              Dir.File("cups-files.conf").c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      up = std::filesystem::exists(Socket);
      int status;
      if (!up && ::waitpid(Cupsd, &status, WNOHANG) == Cupsd) {
        Cupsd = -1;
        break;
      }
    }
    if (!up) GTEST_SKIP() << "cupsd cannot run here: " << TTempDir::Read(Dir.File("log/error_log"));
    ::setenv("CUPS_SERVER", Socket.c_str(), 1);
    cupsSetServer(Socket.c_str());
  }

  void TearDown() override {
    TPrinterTest::TearDown();
    SetCanvasPrinterFactory(nullptr);
    if (Cupsd > 0) {
      ::kill(Cupsd, SIGTERM);
      ::waitpid(Cupsd, nullptr, 0);
    }
    ::unsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
  }

  // Adds a raw queue aimed at the address; fails the test when lpadmin does.
  void AddRawQueue(const std::string& name, const std::string& uri) {
    std::string out;
    ASSERT_EQ(RunCommand("lpadmin -p '" + name + "' -E -v '" + uri + "' -m raw", out), 0) << out;
  }

  TTempDir Dir;
  std::string Socket;
  pid_t Cupsd = -1;
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
  ASSERT_EQ(jobs.size(), 1u) << TTempDir::Read(Dir.File("log/error_log"));
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
