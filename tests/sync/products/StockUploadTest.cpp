// UploadProductsStockData against the stand-in shop: batches of 30, the stock
// figures of products and of their variations, and refused updates.
#include <algorithm>

#include "sync/products/ProductFixture.h"
#include "sync/catalog/CatalogueUploads.h"

namespace ooa::test {
namespace {

class StockUploadTest : public TProductTest {
 protected:
  // Shop products (ids from 'first') and their synced POS rows for codes P<i>.
  void InShop(int count, int first, double stock) {
    std::string products = "[";
    for (int i = 0; i < count; ++i) {
      const std::string id = std::to_string(first + i);
      products += (i ? "," : "") + std::string(R"({"id": )") + id + "}";
      Product({.Code = "P" + std::to_string(i), .Stock = stock, .WooID = id});
    }
    SeedShop(products + "]", "[]");
  }
};

TEST_F(StockUploadTest, ThirtyOneProductsGoInTwoBatchesWithFlooredStock) {
  InShop(31, 500, 7.9);
  UploadProductsStockData(Woo);
  const auto sent = Requests("products/batch");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(EntryCount(sent[0].Body), 30);
  EXPECT_EQ(EntryCount(sent[1].Body), 1);
  EXPECT_EQ(sent[1].Body, R"({"update":[{"stock_quantity":7,"stock_status":"instock","id":"530"}]})");
  for (int i = 0; i < 31; ++i) EXPECT_EQ(Extend("P" + std::to_string(i), "LastStockSyncedAt"), kUploadTimeText) << i;

  // Nothing pending any more.
  ClearRequests();
  UploadProductsStockData(Woo);
  EXPECT_TRUE(Requests().empty());
}

TEST_F(StockUploadTest, StockFiguresOfProductsAndTheirLevels) {
  struct Case {
    const char* Code;
    double Stock;
    bool StockControl;
    const char* Sent;
  };
  const Case cases[] = {
      {"ZERO", 0, true, R"({"stock_quantity":0,"stock_status":"outofstock","id":"601"})"},
      {"MINUS", -1, true, R"({"stock_quantity":0,"stock_status":"outofstock","id":"602"})"},
      {"NOCONTROL", 12, false, R"({"stock_quantity":12,"stock_status":"instock","id":"603"})"},
  };
  std::string shop = R"([{"id": 55})";
  for (int i = 0; i < 3; ++i) {
    Product({.Code = cases[i].Code, .StockControl = cases[i].StockControl, .Stock = cases[i].Stock,
             .WooID = std::to_string(601 + i)});
    shop += R"(,{"id": )" + std::to_string(601 + i) + "}";
  }
  // Measured in twos, 3 per unit sold at level 1, 6 at level 2, 0 at level 3;
  // level 4 has no shop variation.
  TProductSeed packs{.Code = "PACKS", .MultiplePrice = true, .MeasureQty = 2, .Stock = 20, .WooID = "55"};
  packs.Deduct[0] = 3;
  packs.Deduct[1] = 6;
  packs.Deduct[2] = 0;
  packs.VarIDs[0] = "56";
  packs.VarIDs[1] = "57";
  packs.VarIDs[2] = "58";
  Product(packs);
  SeedShop(shop + "]", R"([{"id": 56, "parent_id": 55}, {"id": 57, "parent_id": 55}, {"id": 58, "parent_id": 55}])");
  UploadProductsStockData(Woo);

  const auto batches = Requests("products/batch");
  ASSERT_EQ(batches.size(), 1u);
  for (const Case& c : cases) EXPECT_NE(batches[0].Body.find(c.Sent), std::string::npos) << c.Code;
  EXPECT_NE(batches[0].Body.find(R"({"stock_quantity":20,"stock_status":"instock","id":"55"})"), std::string::npos);
  const auto variations = Requests("variations/batch");
  ASSERT_EQ(variations.size(), 1u);
  EXPECT_EQ(variations[0].Path, "products/55/variations/batch");
  EXPECT_EQ(variations[0].Body,
            R"({"update":[{"id":"56","stock_quantity":6,"stock_status":"instock"},)"
            R"({"id":"57","stock_quantity":3,"stock_status":"instock"},)"
            R"({"id":"58","stock_quantity":0,"stock_status":"outofstock"}]})");
  const auto lines = LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Finished Upload Product Variations Stock Data"), lines.end());
}

TEST_F(StockUploadTest, RefusedStockUpdateStaysPendingAndSendsNoVariations) {
  TProductSeed packs{.Code = "GONE", .MultiplePrice = true, .WooID = "999"};
  packs.VarIDs[0] = "1000";
  Product(packs);
  TProductSeed plain{.Code = "PLAIN", .MultiplePrice = true, .WooID = "55"};  // no variation in the shop
  Product(plain);
  SeedShop(R"([{"id": 55}])", "[]");
  UploadProductsStockData(Woo);
  EXPECT_EQ(Extend("GONE", "LastStockSyncedAt"), "");
  EXPECT_EQ(Extend("PLAIN", "LastStockSyncedAt"), kUploadTimeText);
  EXPECT_TRUE(Requests("variations/batch").empty());

  // A failed request writes nothing and logs the answer in place of "Request Failed.".
  TouchStock("PLAIN");
  Fault("products/batch$", 200, "<html>maintenance</html>");
  UploadProductsStockData(Woo);
  EXPECT_EQ(Extend("PLAIN", "LastStockSyncedAt"), kUploadTimeText);  // the earlier sync time
  const auto lines = LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "<html>maintenance</html>"), lines.end());
  ClearRequests();
  UploadProductsStockData(Woo);
  EXPECT_EQ(Requests("products/batch").size(), 1u);
}

TEST_F(StockUploadTest, FailedVariationStockKeepsTheProductsStockPending) {
  TProductSeed packs{.Code = "PACKS", .MultiplePrice = true, .Stock = 12, .WooID = "55"};
  packs.VarIDs[0] = "56";
  Product(packs);
  SeedShop(R"([{"id": 55}])", R"([{"id": 56, "parent_id": 55}])");
  Fault("variations/batch$", 200, "<html>busy</html>");
  UploadProductsStockData(Woo);
  EXPECT_EQ(Extend("PACKS", "LastStockSyncedAt"), "");

  ClearRequests();
  UploadProductsStockData(Woo);  // both go again
  EXPECT_EQ(Requests("products/batch").size(), 1u);
  EXPECT_EQ(Requests("variations/batch").size(), 1u);
  EXPECT_EQ(Extend("PACKS", "LastStockSyncedAt"), kUploadTimeText);
  EXPECT_EQ(MemberText(ShopTable("variations")[0], "stock_quantity"), "12");
}

}  // namespace
}  // namespace ooa::test
