// The program itself (--once, its settings file) against the real shop over
// HTTPS, the shop's certificate signed by a CA of its own: without that CA
// (OOA_CA_FILE) the catalogue does not get through; with it, it arrives, read
// back over HTTPS as well.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "config/UtilUnit.h"
#include "realshop/RealShop.h"
#include "service/ProgramRun.h"
#include "support/PosDatabase.h"
#include "support/TempDir.h"

namespace ooa::test {
namespace {

TEST(HttpsSuite, CatalogueArrivesWithTheShopsOwnCa) {
  OOA_REQUIRE_REAL_SHOP(shop);
  if (shop.TlsUrl.empty() || shop.CaFile.empty()) GTEST_SKIP() << "WOO_TLS_URL and WOO_CA_FILE name no HTTPS shop";
  TTempDir dir;
  const std::string db = dir.File("POS.DB"), code = RunTag() + "-TLS";
  CreatePosDatabase(db, {});
  PosdbExec(db, "Insert Into Category (Category, IsGroup, Description, OnlineSales, LastUpdatedAt) Values (" +
                    SqlTextLiteral(code) + ", 1, " + SqlTextLiteral(RunTag() + " Secure") +
                    ", 1, '12/01/2026 10:00:00');"
                    "Insert Into Product (ProductCode, Category, Description, OnlineOrderItem, ModifyDate, Live, "
                    "GSTRate, StockControl, MeasureQty, StockQty1, SalesPrice1, DeductStockQty) Values (" +
                    SqlTextLiteral(code) + ", " + SqlTextLiteral(code) + ", N'Secure Item', 1, '12/01/2026 10:00:00', "
                    "1, 0, 1, 1, 7, 2.5, 1);"
                    "Insert Into ProductExtend (ProductCode) Values (" + SqlTextLiteral(code) + ");");
  std::ofstream(dir.File("OnlineService.ini"))
      << "[ApiConfig]\nServerName=(EMBEDDED)\nDatabaseName=POS.DB\nUrl=" << shop.TlsUrl << "\nKey=" << shop.Key
      << "\nSecret=" << shop.Secret << "\nPrinterName=N/A\nWarehouseCode=1\nDesc1=1\nDebug=1\n";
  ::chmod(dir.File("OnlineService.ini").c_str(), 0600);
  const std::string runtime = dir.File("run");
  ::mkdir(runtime.c_str(), 0700);
  auto wooId = [&] {
    return PosdbExec(db, "Select WooID From ProductExtend Where ProductCode = " + SqlTextLiteral(code) + ";");
  };
  auto once = [&](const std::string& caFile) {
    TProgramRun run({"--once", "--config", dir.File("OnlineService.ini")},
                    {{"XDG_RUNTIME_DIR", runtime}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"OOA_CA_FILE", caFile}},
                    dir.Path());
    EXPECT_NE(run.Wait(300000), -1);
    return run.Stdout();
  };

  const std::string refused = once("");
  EXPECT_EQ(wooId().find_first_of("0123456789"), std::string::npos) << refused;

  const std::string out = once(shop.CaFile);
  const std::string text = wooId();
  const size_t digits = text.find_first_of("0123456789");
  ASSERT_NE(digits, std::string::npos) << out;
  const std::string id = text.substr(digits, text.find_first_not_of("0123456789", digits) - digits);
  TShopClient secure(shop.TlsUrl, shop.Key, shop.Secret, shop.CaFile);
  TShopAnswer product = secure.Get("products/" + id);
  ASSERT_EQ(product.Status, 200) << product.Body;
  EXPECT_EQ(MemberText(product.Json, "sku"), code);
  EXPECT_EQ(MemberText(product.Json, "stock_quantity"), "7");
}

}  // namespace
}  // namespace ooa::test
