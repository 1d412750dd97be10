// Every receipt that does not reach the printer is reported, with Debug off:
// one status line "Receipt of <invoice> not printed: <why>" per fault of the
// printer or the print queue, and the receipt on the problems list until it
// prints. The printer "N/A" stays silent.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "config/ActivityLog.h"
#include "config/ProblemList.h"
#include "print/PrinterOutput.h"
#include "print/receipt/ReceiptFixture.h"
#include "sync/OrderReceipt.h"
#include "sync/OrderSyncPass.h"
#ifdef _WIN32
#include <winsock2.h>

#include "config/win/WideText.h"
#else
#include "support/CupsSpooler.h"
#endif

namespace ooa::test {
namespace {

class PrinterFaultTest : public TReceiptTest {
 protected:
  void SetUp() override {
    TReceiptTest::SetUp();
    TPrinterTimings t = PrinterTimings();
    t.ConnectTimeoutMs = 2000;
    t.IoTimeoutMs = 1000;
    SetPrinterTimings(t);
    SetReceiptSettings(Settings);
    ActivityLog().SetSink(&Log);
  }
  void TearDown() override {
    ActivityLog().SetSink(nullptr);
    TReceiptTest::TearDown();
  }
  void UsePrinter(const std::string& name) {
    TConfig c = ConfigSnapshot();
    c.PrinterName = name;
    c.Debug = false;
    SetConfig(c);
  }
  TMemoryLogSink Log;
};

TEST_F(PrinterFaultTest, EveryFaultGivesItsStatusLineAndListsTheReceipt) {
  int closedPort;
  {
    TPrinterStandin gone;
    closedPort = gone.Port();
  }
#ifdef _WIN32
  // The queue cases need a spooler of the test's own (SpoolerTest covers the
  // Windows spooler's refusals).
  const std::string noSpooler = "cupsd, the spooler these cases run, exists on Linux only";
  const std::string noDevice = "\\\\.\\OOANoSuchPrinter";
  const std::string noSuchDevice = SystemErrorText(ERROR_FILE_NOT_FOUND);
  const std::string noSuchFile = SystemErrorText(ERROR_PATH_NOT_FOUND);
  const std::string refused = SystemErrorText(WSAECONNREFUSED);
#else
  TCupsSpooler spooler;
  std::string noSpooler;
  if (spooler.Start(noSpooler)) {
    std::string out;
    ASSERT_TRUE(spooler.AddRawQueue("Closed", Standin.Address(), out)) << out;
    ASSERT_EQ(TCupsSpooler::Run("cupsreject Closed", out), 0) << out;
  }
  const std::string noDevice = "/dev/no-such-printer";
  const std::string noSuchDevice = "No such file or directory";
  const std::string noSuchFile = "No such file or directory";
  const std::string refused = "Connection refused";
#endif
  const std::string closed = "127.0.0.1:" + std::to_string(closedPort);

  struct TFault {
    const char* Name;
    TPrinterStandin::TOptions Standin;  // used when Printer is empty
    std::string Printer;
    std::string Why;  // what the status line says after "not printed: " (its start, for the stand-in's)
    bool NeedsSpooler = false;
  };
  const TFault faults[] = {
      {"a device that cannot be opened", {}, noDevice, "Printer " + noDevice + ": " + noSuchDevice},
      {"a capture file in a missing folder", {}, "file:" + Dir.File("gone/receipt.bin"),
       "Printer " + Dir.File("gone/receipt.bin") + ": " + noSuchFile},
      {"a printer that refuses the connection", {}, "socket://" + closed,
       "Printer " + closed + ": " + refused},
      {"a printer that resets every connection", {true, -1, 0, false}, "", "Printer 127.0.0.1:"},
      {"a printer that drops the connection halfway", {false, 120, 0, false}, "", "Printer 127.0.0.1:"},
      {"a printer that accepts but never reads", {false, -1, 0, true}, "", "Printer 127.0.0.1:"},
      {"a queue that rejects the job", {}, "Closed", "Printer Closed: the queue refuses the job", true},
      {"a queue that is missing", {}, "Gone", "printer \"Gone\" is not installed and there is no default printer",
       true},
  };
  TProblemList list(ProblemListPath());
  TOrderPassState pass;
  pass.Problems = &list;
  for (const TFault& f : faults) {
    SCOPED_TRACE(f.Name);
    if (f.NeedsSpooler && !noSpooler.empty()) {
      std::cout << "[  SKIPPED ] " << f.Name << ": " << noSpooler << "\n";
      continue;
    }
    std::unique_ptr<TPrinterStandin> standin;
    std::string why = f.Why;
    if (f.Printer.empty()) {
      standin = std::make_unique<TPrinterStandin>(f.Standin);
      UsePrinter(standin->Address());
      why += std::to_string(standin->Port()) + ": ";
    } else {
      UsePrinter(f.Printer);
    }
    Log.Clear();
    EXPECT_EQ(PrintOrderReceipt(pass, Db, "1057", "W2600001", false, false), TReceiptResult::NotPrinted);
    const std::vector<std::string> lines = Log.Lines();
    ASSERT_EQ(lines.size(), 1u) << ::testing::PrintToString(lines);
    const std::string head = "Receipt of W2600001 not printed: ";
    EXPECT_EQ(lines[0].substr(0, head.size() + why.size()), head + why);
    if (f.Name == std::string("a printer that accepts but never reads"))
      EXPECT_EQ(lines[0], head + why + "the printer did not finish the receipt within 1 s");

    const std::vector<TProblem> listed = list.Load();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].Id, "receipt:W2600001");
    EXPECT_EQ(listed[0].Kind, "receipt");
    EXPECT_EQ(listed[0].InvoiceNo, "W2600001");
    EXPECT_EQ(listed[0].OrderId, "1057");
    EXPECT_EQ(listed[0].Reason, lines[0].substr(head.size()));
  }

  // "N/A" prints nothing and says nothing; the entry stays.
  UsePrinter("N/A");
  Log.Clear();
  EXPECT_EQ(PrintOrderReceipt(pass, Db, "1057", "W2600001", false, false), TReceiptResult::NothingToPrint);
  EXPECT_TRUE(Log.Lines().empty());
  EXPECT_EQ(list.Load().size(), 1u);

  // The invoice's receipt prints: its entry leaves the list.
  UsePrinter(Standin.Address());
  EXPECT_EQ(PrintOrderReceipt(pass, Db, "1057", "W2600001", false, false), TReceiptResult::Printed);
  EXPECT_EQ(Standin.WaitForJobs(1).size(), 1u);
  EXPECT_TRUE(Log.Lines().empty());
  EXPECT_TRUE(list.Load().empty());
}

}  // namespace
}  // namespace ooa::test
