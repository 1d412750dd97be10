// A receipt that is due stays on the problems list until it is printed: the
// invoice is listed before its receipt prints, stays listed when the printer
// fails, and the next pass prints it first thing and takes it off the list.
#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/ProblemList.h"
#include "sync/orders/ForkedOrderPass.h"
#include "sync/orders/OrderPassFixture.h"
#include "shop/rest/ChannelLoopback.h"
#include "support/PrinterStandin.h"

namespace ooa::test {
namespace {

using AwaitedReceipt = TOrderPassFixture;

std::vector<TProblem> Receipts() {
  std::vector<TProblem> receipts;
  for (const TProblem& p : TProblemList(ProblemListPath()).Load())
    if (p.Kind == "receipt") receipts.push_back(p);
  return receipts;
}

// The receipts listed under their invoice (an order's receipt is listed under
// the order while the order is written).
std::vector<TProblem> InvoiceReceipts() {
  std::vector<TProblem> receipts;
  for (const TProblem& p : Receipts())
    if (!p.InvoiceNo.empty()) receipts.push_back(p);
  return receipts;
}

void UsePrinter(const std::string& name) {
  TConfig config = ConfigSnapshot();
  config.PrinterName = name;
  SetConfig(config);
}

TEST_F(AwaitedReceipt, AReceiptNotPrintedIsListedAndPrintedByTheNextPass) {
  {
    TPrinterStandin::TOptions refusing;
    refusing.Refuse = true;
    TPrinterStandin printer(refusing);
    UsePrinter(printer.Address());
    Seed({ShopOrder(5001)});
    EXPECT_EQ(PassError(), "");
    EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'5001'"), 1);
  }
  std::vector<TProblem> listed = Receipts();
  ASSERT_EQ(listed.size(), 1u) << ::testing::PrintToString(Log.Lines());
  EXPECT_EQ(listed[0].Id, "receipt:W26000001");
  EXPECT_EQ(listed[0].OrderId, "5001");
  EXPECT_EQ(listed[0].Reason.rfind("Printer 127.0.0.1:", 0), 0u) << listed[0].Reason;  // the printer's failure

  // The printer is back: the next pass prints the receipt though no order is new.
  TPrinterStandin printer;
  UsePrinter(printer.Address());
  Clock.Advance(60);
  EXPECT_EQ(PassError(), "");
  const std::vector<std::string> jobs = printer.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_NE(jobs[0].find("ONLINE ORDER #5001"), std::string::npos) << jobs[0];
  EXPECT_TRUE(Receipts().empty());
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead"), 1);
}

// A child killed midway needs fork(): Linux only.
#ifndef _WIN32
// The program dies after the invoice committed, while its receipt is on the
// way to a printer that never takes it: the invoice is listed, and the next
// pass prints its receipt.
TEST_F(AwaitedReceipt, AnInvoiceCommittedBeforeAKillGetsItsReceiptFromTheNextPass) {
  Seed({ShopOrder(5001)});
  TSilentListener silent;  // accepts into its backlog, never reads
  UsePrinter("socket://127.0.0.1:" + std::to_string(silent.PortNumber()));
  const pid_t child = StartForkedOrderPass(Pos.Config);
  ASSERT_GE(child, 0);
  bool listed = false;
  for (int i = 0; i < 200 && !listed; ++i) {
    ::usleep(50 * 1000);
    listed = !InvoiceReceipts().empty();
  }
  const int status = KillForkedPass(child);
  ASSERT_TRUE(listed) << "the pass never got to the receipt";
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId=N'5001'"), 1);
  const std::vector<TProblem> awaited = InvoiceReceipts();
  ASSERT_EQ(awaited.size(), 1u);
  EXPECT_EQ(awaited[0].Reason, "The receipt has not been printed yet.");

  TPrinterStandin printer;
  UsePrinter(printer.Address());
  EXPECT_EQ(PassError(), "");
  const std::vector<std::string> jobs = printer.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_NE(jobs[0].find("ONLINE ORDER #5001"), std::string::npos) << jobs[0];
  EXPECT_TRUE(Receipts().empty());
}
#endif  // _WIN32

TEST_F(AwaitedReceipt, APrintedReceiptOrNoPrinterLeavesNothingListed) {
  for (const bool printerThere : {true, false}) {
    SCOPED_TRACE(printerThere ? "printed" : "no printer");
    TPrinterStandin printer;
    UsePrinter(printerThere ? printer.Address() : "N/A");
    const int id = printerThere ? 5001 : 5002;
    Seed({ShopOrder(id)});
    EXPECT_EQ(PassError(), "");
    EXPECT_EQ(printer.Jobs().size(), printerThere ? 1u : 0u);
    EXPECT_TRUE(Receipts().empty());
  }
}

}  // namespace
}  // namespace ooa::test
