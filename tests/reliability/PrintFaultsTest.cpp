// Print faults: the receipt printer refuses the connection or drops it in the
// middle of a receipt. The order stays written, nothing is lost, and once the
// printer works again the receipts of later orders print in full.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "EndState.h"
#include "ReliabilityReport.h"
#include "ReliabilityWorld.h"
#include "support/PrinterStandin.h"

namespace ooa::test {
namespace {

const char* const kSection = "print faults";

// The invoice numbers written for the world's last n orders.
std::vector<std::string> InvoicesOfLast(const TReliabilityWorld& world, size_t n) {
  std::vector<std::string> numbers;
  for (size_t i = world.Orders.size() - n; i < world.Orders.size(); ++i) {
    TRows rows = world.Query("Select InvoiceNo From InvoiceHead Where OnlineOrderId = N'" +
                             std::to_string(world.Orders[i].Id) + "'");
    numbers.push_back(rows.Values.empty() ? "" : rows.Values[0][0]);
  }
  return numbers;
}

TEST(Reliability, PrinterFaultsLoseNoOrderAndLaterReceiptsPrint) {
  TReliabilityWorld world(4711);
  world.AddProducts(20);
  struct TCase {
    const char* Name;
    TPrinterStandin::TOptions Printer;
  } cases[] = {
      {"the printer drops the connection after 120 bytes", {false, 120, 0}},
      {"the printer refuses the connection", {true, -1, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    {
      TPrinterStandin broken(c.Printer);
      world.WriteSettings(broken.Address());
      world.ShopActivity(3, 0, 0);
      TPassRun run = world.RunPass();
      // A printer fault costs the receipt, not the pass: every order is
      // written, nothing is half written, and the log says which receipt failed.
      EXPECT_EQ(run.Status, 0) << run.Err;
      for (const std::string& no : InvoicesOfLast(world, 3)) EXPECT_FALSE(no.empty()) << run.Out;
      EXPECT_NE(run.Out.find(" not printed: "), std::string::npos) << run.Out;
      for (const auto& p : InvariantProblems(world)) ADD_FAILURE() << p;
      for (const std::string& job : broken.Jobs()) EXPECT_LE(job.size(), 120u);
      Report().Add(kSection, "passes with a failing printer", 1);
    }
    TPrinterStandin working;
    world.WriteSettings(working.Address());
    world.ShopActivity(2, 0, 0);
    TPassRun run = world.RunPass();
    EXPECT_EQ(run.Status, 0) << run.Err;
    // Every order is written now, and the new orders' receipts print in full
    // (after any receipt the failed pass did not reach).
    for (const std::string& no : InvoicesOfLast(world, 5)) EXPECT_FALSE(no.empty()) << "an order was not written";
    const auto numbers = InvoicesOfLast(world, 2);
    std::vector<std::string> jobs;
    auto printed = [&jobs](const std::string& no) {
      for (const std::string& job : jobs)
        if (job.find(no) != std::string::npos) return true;
      return false;
    };
    for (int wait = 0; wait < 100; ++wait) {  // the stand-in keeps a job once its connection ends
      jobs = working.Jobs();
      if (printed(numbers[0]) && printed(numbers[1])) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (const std::string& no : numbers) EXPECT_TRUE(printed(no)) << "no receipt names invoice " << no;
    Report().Add(kSection, "receipts printed after the printer recovered", static_cast<int64_t>(jobs.size()));
  }
  world.WriteSettings();
  // The till marks the stock its sales changed; one more pass sends it.
  world.MarkStockChanged();
  EXPECT_EQ(world.RunPass().Status, 0);
  CheckEndState(world, kSection);
}

}  // namespace
}  // namespace ooa::test
