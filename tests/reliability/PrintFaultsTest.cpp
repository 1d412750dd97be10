// Print faults: the receipt printer refuses the connection or drops it in the
// middle of a receipt. The orders stay written, and once the printer works
// again, the receipts of later orders print in full.
#include <gtest/gtest.h>

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
      EXPECT_EQ(run.Status, 0) << run.Err;
      for (const std::string& no : InvoicesOfLast(world, 3)) EXPECT_FALSE(no.empty()) << "an order was not written";
      for (const std::string& job : broken.Jobs()) EXPECT_LE(job.size(), 120u);
      Report().Add(kSection, "receipts cut off or refused", 3);
    }
    TPrinterStandin working;
    world.WriteSettings(working.Address());
    world.ShopActivity(2, 0, 0);
    TPassRun run = world.RunPass();
    EXPECT_EQ(run.Status, 0) << run.Err;
    const auto jobs = working.WaitForJobs(2);
    const auto numbers = InvoicesOfLast(world, 2);
    ASSERT_EQ(jobs.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
      EXPECT_FALSE(numbers[i].empty());
      EXPECT_NE(jobs[i].find(numbers[i]), std::string::npos) << "receipt " << i << " lacks invoice " << numbers[i];
    }
    Report().Add(kSection, "receipts printed after the printer recovered", static_cast<int64_t>(jobs.size()));
  }
  world.WriteSettings();
  CheckEndState(world, kSection);
}

}  // namespace
}  // namespace ooa::test
