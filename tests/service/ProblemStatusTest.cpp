// --status: the problems list as a monitoring system sees it (exit status 0
// when empty, 1 while entries are open, 2 on an error), with --dismiss and
// --reprint; and the program itself answering --status beside its settings.
#include <gtest/gtest.h>

#include <sstream>

#include "ProgramRun.h"
#include "config/ProblemList.h"
#include "service/ProblemStatus.h"
#include "support/TempDir.h"

namespace ooa::test {
namespace {

TProblem Receipt(const std::string& invoice) {
  TProblem p;
  p.Id = ReceiptProblemId(invoice);
  p.Kind = "receipt";
  p.InvoiceNo = invoice;
  p.OrderId = "1057";
  p.Reason = "Printer 127.0.0.1:9100: Connection refused";
  return p;
}

TEST(ProblemStatusTest, ListsOpenEntriesAndCarriesOutTheActions) {
  TTempDir dir;
  const std::string path = dir.File("OnlineService.state");
  TProblemList list(path);
  list.Record(Receipt("W26000002"), "2026-12-08 13:41:00");
  TProblem product;
  product.Id = CatalogueProblemId("product", "BEER");
  product.Kind = "product";
  product.Object = "BEER";
  product.Reason = "Invalid or duplicated SKU. (product_invalid_sku)";
  list.Record(product, "2026-12-08 13:42:00");

  struct TCase {
    const char* Name;
    TStatusActions Actions;
    int Status;
    std::string Out, Err;
  } cases[] = {
      {"two entries open", {}, 1,
       "receipt:W26000002\tPrinter 127.0.0.1:9100: Connection refused\tfirst try 2026-12-08 13:41:00, last try "
       "2026-12-08 13:41:00\n"
       "product:BEER\tInvalid or duplicated SKU. (product_invalid_sku)\tfirst try 2026-12-08 13:42:00, last try "
       "2026-12-08 13:42:00\n2 problems open.\n",
       ""},
      {"a reprint asked for", {"", "receipt:W26000002"}, 1,
       "The next order pass prints receipt:W26000002 again.\n"
       "receipt:W26000002\tPrinter 127.0.0.1:9100: Connection refused\tfirst try 2026-12-08 13:41:00, last try "
       "2026-12-08 13:41:00\treprint requested\n"
       "product:BEER\tInvalid or duplicated SKU. (product_invalid_sku)\tfirst try 2026-12-08 13:42:00, last try "
       "2026-12-08 13:42:00\n2 problems open.\n",
       ""},
      {"only receipts print again", {"", "product:BEER"}, 2, "",
       "No receipt with the id product:BEER in " + path + ".\n"},
      {"an unknown id", {"order:1", ""}, 2, "", "No problem with the id order:1 in " + path + ".\n"},
      {"one dismissed", {"product:BEER", ""}, 1,
       "receipt:W26000002\tPrinter 127.0.0.1:9100: Connection refused\tfirst try 2026-12-08 13:41:00, last try "
       "2026-12-08 13:41:00\treprint requested\n1 problem open. 1 dismissed.\n",
       ""},
      {"both dismissed", {"receipt:W26000002", ""}, 0, "No problems. 2 dismissed.\n", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::ostringstream out, err;
    EXPECT_EQ(RunProblemStatus(path, c.Actions, out, err), c.Status);
    EXPECT_EQ(out.str(), c.Out);
    EXPECT_EQ(err.str(), c.Err);
  }
}

// The program finds the list beside the settings file given with --config.
TEST(ProblemStatusTest, ProgramExitsNonZeroWhileTheListHasEntries) {
  TTempDir dir;
  dir.Write("OnlineService.ini", "[ApiConfig]\n");
  const std::map<std::string, std::string> env = {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}};
  auto status = [&](std::vector<std::string> extra, std::string& out) {
    std::vector<std::string> args = {"--status", "--config", dir.File("OnlineService.ini")};
    args.insert(args.end(), extra.begin(), extra.end());
    TProgramRun run(args, env, dir.Path());
    const int code = run.Wait(30000);
    out = run.Stdout();
    return code;
  };
  std::string out;
  EXPECT_EQ(status({}, out), 0);
  EXPECT_EQ(out, "No problems.\n");

  TProblemList(dir.File("OnlineService.state")).Record(Receipt("W26000002"), "2026-12-08 13:41:00");
  EXPECT_EQ(status({}, out), 1);
  EXPECT_EQ(out.rfind("receipt:W26000002\t", 0), 0u) << out;

  EXPECT_EQ(status({"--reprint", "receipt:W26000002"}, out), 1);
  EXPECT_TRUE(TProblemList(dir.File("OnlineService.state")).Load().at(0).Reprint);

  // The receipt printed: its entry is gone, and so is the alarm.
  TProblemList(dir.File("OnlineService.state")).Resolve("receipt:W26000002");
  EXPECT_EQ(status({}, out), 0);
  EXPECT_EQ(status({"--dismiss", "receipt:W26000002"}, out), 2);
}

}  // namespace
}  // namespace ooa::test
