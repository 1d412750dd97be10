// Texts from the shop and the POS printed on a receipt stay text: control
// bytes in a customer's address or a product's description or barcode never
// reach the receipt printer as commands (an ESC p or DLE DC4 would open the
// till's cash drawer, a GS V cut the paper). Order pass against the stand-in
// shop, receipt on the printer stand-in.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/UtilUnit.h"
#include "hardening/OrderWorld.h"
#include "support/PrinterStandin.h"
#include "sync/PrintParams.h"
#include "sync/OrderSync.h"

namespace ooa::test {
namespace {

class ReceiptControlCodes : public TOrderWorld {};

TEST_F(ReceiptControlCodes, ShopAndPosTextsNeverBecomePrinterCommands) {
  TPrinterStandin printer;
  TConfig config = Settings();
  config.PrinterName = printer.Address();
  config.PrintItemBarcode = true;
  Configure(config);
  ASSERT_TRUE(ReadPrintParams(Pos.Db));

  const std::string drawerKick("\x1Bp\x00\x19\xFA", 5);
  const std::string pulse("\x10\x14\x01\x00\x05", 5);
  const std::string fullCut("\x1DV\x00", 3);
  const std::string reset("\x1B@", 2);
  // The barcode ends in a NUL: a CODE39 barcode would end there and the
  // drawer kick after it would run.
  Pos.Exec("Update Product Set Description=" + SqlTextLiteral("Lager" + drawerKick + reset) +
           ", BarCode=" + SqlTextLiteral(std::string("9\0", 2) + drawerKick) + " Where ProductCode=N'BEER';");
  // The JSON text of a string without its quotes, to put inside another.
  auto inner = [](const std::string& text) {
    const std::string json = JsonString(text);
    return json.substr(1, json.size() - 2);
  };
  AdminPost("/standin/orders",
            MemberOrder(8301, "M8301", R"("first_name": "Ann", "last_name": "Lee")",
                        R"("first_name": "Ann)" + inner(pulse) + R"(", "last_name": "Lee", "address_1": "1 Main)" +
                            inner(drawerKick + fullCut) + R"( St", "city": "Hobart")"));

  SyncOrders(Woo);

  const std::vector<std::string> jobs = printer.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  const std::string& job = jobs[0];
  EXPECT_NE(job.find("ONLINE ORDER #8301"), std::string::npos);
  EXPECT_NE(job.find("1 Main"), std::string::npos);
  EXPECT_NE(job.find("Lager"), std::string::npos);
  EXPECT_NE(job.find(std::string("\x1D\x6B\x04" "9 ", 5)), std::string::npos);  // the item's CODE39 barcode
  for (const std::string& command : {drawerKick, pulse, fullCut, std::string("\x1Bp", 2), std::string("\x10\x14", 2)})
    EXPECT_EQ(job.find(command), std::string::npos);
  // ESC @ only where the printer is initialised: at the start and the end.
  size_t resets = 0;
  for (size_t at = job.find(reset); at != std::string::npos; at = job.find(reset, at + 1)) ++resets;
  EXPECT_LE(resets, 2u);
}

}  // namespace
}  // namespace ooa::test
