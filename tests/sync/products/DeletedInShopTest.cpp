// Products and variations deleted in the shop while the POS still holds their
// ids: the refused update or stock update forgets the id and makes the
// product pending, the next pass creates the object again, and after that
// the passes send nothing more (before, the same refused requests went out
// on every pass).
#include "config/UtilUnit.h"
#include "sync/products/ProductFixture.h"
#include "sync/catalog/CatalogueUploads.h"

namespace ooa::test {
namespace {

class DeletedInShopTest : public TProductTest {
 protected:
  // The product is synced (not pending for the product pass); its stock is.
  void MarkSynced(const std::string& code) {
    Exec("Update ProductExtend Set LastSyncedAt = '12/02/2026 10:00:00' Where ProductCode = " + SqlTextLiteral(code) +
         ";");
  }
  void CataloguePass() {
    FixedClock.Advance(60);
    UploadProducts(Woo);
    UploadProductsStockData(Woo);
  }
};

TEST_F(DeletedInShopTest, ProductIsCreatedAgainWithItsVariationsAndTranslations) {
  for (const bool foundByStockPass : {false, true}) {
    SCOPED_TRACE(foundByStockPass ? "found by the stock pass" : "found by the product pass");
    Exec("Delete From Product; Delete From ProductExtend;");
    SeedShop("[]", "[]");  // 400, its variation 402 and its translation 401 are gone
    TProductSeed given{.Code = "ABC", .MultiplePrice = true, .D1 = "Hans", .WooID = "400", .T1 = "401"};
    given.Subs[0] = "Single";
    given.VarIDs[0] = "402";
    Product(given);
    if (foundByStockPass) {
      MarkSynced("ABC");
      UploadProductsStockData(Woo);
    } else {
      UploadProducts(Woo);
    }
    for (const char* column : {"WooID", "WooVarID1", "Translate1", "LastSyncedAt"})
      EXPECT_EQ(Extend("ABC", column), "") << column;

    CataloguePass();
    const std::string id = Extend("ABC", "WooID");
    ASSERT_TRUE(Stored("products", id).IsObject());
    const rapidjson::Value variation = Stored("variations", Extend("ABC", "WooVarID1"));
    ASSERT_TRUE(variation.IsObject());
    EXPECT_EQ(MemberText(variation, "parent_id"), id);
    const rapidjson::Value translation = Stored("products", Extend("ABC", "Translate1"));
    ASSERT_TRUE(translation.IsObject());
    EXPECT_EQ(MemberText(translation, "translation_of"), id);

    ClearRequests();
    CataloguePass();
    EXPECT_EQ(Requests().size(), 0u);
  }
}

TEST_F(DeletedInShopTest, VariationIsCreatedAgainAndTheStockSettles) {
  // Variation 57 (level 2) was deleted in the shop.
  SeedShop(R"([{"id": 55, "sku": "ABC", "type": "variable"}])",
           R"([{"id": 56, "parent_id": 55, "sku": "ABC-PK1", "attributes": [{"name": "Variations",
             "option": "Single"}]}])");
  TProductSeed given{.Code = "ABC", .MultiplePrice = true, .Stock = 12, .WooID = "55"};
  given.Subs[0] = "Single";
  given.Subs[1] = "Six";
  given.Deduct[1] = 6;
  given.VarIDs[0] = "56";
  given.VarIDs[1] = "57";
  Product(given);
  MarkSynced("ABC");
  UploadProductsStockData(Woo);
  EXPECT_EQ(Extend("ABC", "WooVarID1"), "56");
  EXPECT_EQ(Extend("ABC", "WooVarID2"), "");
  EXPECT_EQ(Extend("ABC", "LastSyncedAt"), "");

  CataloguePass();
  const rapidjson::Value six = Stored("variations", Extend("ABC", "WooVarID2"));
  ASSERT_TRUE(six.IsObject());
  EXPECT_EQ(MemberText(six, "parent_id"), "55");
  EXPECT_EQ(MemberText(six, "sku"), "ABC-PK2");
  EXPECT_EQ(MemberText(six, "stock_quantity"), "2");
  EXPECT_NE(Extend("ABC", "LastStockSyncedAt"), "");

  ClearRequests();
  CataloguePass();
  EXPECT_EQ(Requests().size(), 0u);
}

}  // namespace
}  // namespace ooa::test
