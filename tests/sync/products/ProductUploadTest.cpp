// UploadProducts against the stand-in shop: a new variable product with its
// variations and translations, adoption of a product whose id was lost, the
// variation batch's outcomes, refused updates, and a withdrawn product that
// is offered again.
#include <algorithm>

#include "sync/products/ProductFixture.h"
#include "sync/catalog/CatalogueUploads.h"

namespace ooa::test {
namespace {

class ProductUploadTest : public TProductTest {
 protected:
  ProductUploadTest() {
    // Translation slots: Description1 zh-hans, Description3 zh-hant.
    Config.Desc3 = 0;
    Config.Desc4 = 3;
    SetConfig(Config);
  }
};

TEST_F(ProductUploadTest, NewVariableProductGetsItsVariationsAndTranslations) {
  TProductSeed given{.Code = "ABC", .MultiplePrice = true, .D1 = "Hans", .D3 = "Hant"};
  given.Subs[0] = "Single";
  given.Subs[2] = "Carton";
  given.Sales[2] = 50;
  Product(given);
  UploadProducts(Woo);

  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 3u);
  const std::string id = Extend("ABC", "WooID");
  ASSERT_FALSE(id.empty());
  EXPECT_EQ(requests[0].Path, "products/batch");
  EXPECT_EQ(requests[1].Path, "products/" + id + "/variations/batch");
  EXPECT_EQ(requests[2].Path, "products/batch");
  EXPECT_EQ(RawMember(requests[1].Body, "ABC-PK3", "regular_price"), " 50.00");
  EXPECT_EQ(EntryCount(requests[2].Body), 2);  // both translations in one request

  EXPECT_EQ(Extend("ABC", "LastSyncedAt"), kUploadTimeText);
  EXPECT_EQ(Extend("ABC", "LastStockSyncedAt"), kUploadTimeText);
  const struct { const char* Column; const char* Sku; } levels[] = {{"WooVarID1", "ABC-PK1"}, {"WooVarID3", "ABC-PK3"}};
  for (const auto& level : levels) {
    const rapidjson::Value v = Stored("variations", Extend("ABC", level.Column));
    ASSERT_TRUE(v.IsObject()) << level.Column;
    EXPECT_EQ(MemberText(v, "sku"), level.Sku);
    EXPECT_EQ(MemberText(v, "parent_id"), id);
  }
  EXPECT_EQ(Extend("ABC", "WooVarID2"), "");

  const rapidjson::Value product = Stored("products", id);
  EXPECT_EQ(MemberText(product, "type"), "variable");
  EXPECT_EQ(JsonToText(product["attributes"][0]["options"]), R"(["Single","Carton"])");
  EXPECT_EQ(MemberText(product["default_attributes"][0], "option"), "Single");

  // Translations: zh-hans in the category's zh-hans copy (21), zh-hant in the main one.
  const struct { const char* Column; const char* Lang; const char* Name; const char* Category; } copies[] = {
      {"Translate1", "zh-hans", "Hans", "21"}, {"Translate3", "zh-hant", "Hant", "20"}};
  for (const auto& c : copies) {
    const rapidjson::Value t = Stored("products", Extend("ABC", c.Column));
    ASSERT_TRUE(t.IsObject()) << c.Column;
    EXPECT_EQ(MemberText(t, "lang"), c.Lang);
    EXPECT_EQ(MemberText(t, "name"), c.Name);
    EXPECT_EQ(MemberText(t, "translation_of"), id);
    EXPECT_EQ(MemberText(t["categories"][0], "id"), c.Category);
    EXPECT_EQ(MemberText(t, "type"), "variable");
  }
  EXPECT_EQ(Extend("ABC", "Translate2"), "");
}

TEST_F(ProductUploadTest, LostProductIdIsAdoptedThroughItsSku) {
  SeedShop(R"([{"id": 55, "sku": "ABC", "name": "Old"}])", "[]");
  TProductSeed given{.Code = "ABC", .MultiplePrice = true};
  given.Subs[0] = "Single";
  Product(given);
  UploadProducts(Woo);
  EXPECT_EQ(Extend("ABC", "WooID"), "55");
  EXPECT_EQ(Requests("variations/batch").at(0).Path, "products/55/variations/batch");
  EXPECT_FALSE(Extend("ABC", "WooVarID1").empty());
  // The shop's product still has its old name: the product stays pending and
  // the next pass sends it as an update.
  EXPECT_EQ(Extend("ABC", "LastSyncedAt"), "");
  FixedClock.Advance(60);
  UploadProducts(Woo);
  EXPECT_EQ(MemberText(Stored("products", "55"), "name"), "Product");
  EXPECT_NE(Extend("ABC", "LastSyncedAt"), "");
}

// A product in the shop as 55 whose level 1 and 4 variations are to be
// created, level 2 updated (56) and level 3 deleted (57, its sub-description
// cleared).
TEST_F(ProductUploadTest, VariationOutcomesBecomeTheProductsVariationIds) {
  struct Case {
    const char* Name;
    const char* ShopVariations;  // besides 56 and 57
    const char* Fault;           // the variations request's answer, or ""
    const char* VarID1;          // "*": a new id
    const char* VarID4;
    bool Synced = true;  // false: a level did not reach the shop, the product stays pending
    const char* ShopProducts = "";  // besides 55
  };
  // An adopted variation had the shop's old price and stock (1.00 and 39);
  // it gets the POS's (10.00 and 10) in the same pass.
  const Case cases[] = {
      {"created", "", "", "*", "*"},
      {"same options exist", R"(,{"id": 60, "parent_id": 55, "sku": "X1", "regular_price": "1.00",
        "stock_quantity": 39, "attributes": [{"name": "Variations", "option": "Single"}]})", "", "60", "*"},
      {"same SKU exists", R"(,{"id": 61, "parent_id": 55, "sku": "ABC-PK1", "regular_price": "1.00",
        "stock_quantity": 39, "attributes": [{"name": "Variations", "option": "Other"}]})", "", "61", "*"},
      {"same SKU held by another product", "", "", "", "*", false,
       R"(,{"id": 70, "sku": "ABC-PK1", "regular_price": "1.00", "stock_quantity": 39})"},
      {"same SKU held by another product's variation", R"(,{"id": 62, "parent_id": 71, "sku": "ABC-PK1",
        "regular_price": "1.00", "stock_quantity": 39})", "", "", "*", false,
       R"(,{"id": 71, "sku": "OTHER", "type": "variable"})"},
      {"second create refused", "",
       R"({"create": [{"id": 601}, {"id": 0, "error": {"code": "woocommerce_rest_invalid", "message": "No.",
         "data": {"status": 400}}}], "update": [{"id": 56}], "delete": [{"id": 57}]})", "601", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Exec("Delete From Product; Delete From ProductExtend;");
    SeedShop(std::string(R"([{"id": 55, "sku": "ABC", "type": "variable"})") + c.ShopProducts +
                 "]",
             std::string(R"([{"id": 56, "parent_id": 55, "sku": "ABC-PK2", "attributes": [{"name": "Variations",
               "option": "Six"}]}, {"id": 57, "parent_id": 55, "sku": "ABC-PK3"})") + c.ShopVariations + "]");
    if (*c.Fault) Fault("variations/batch$", 200, c.Fault);
    TProductSeed given{.Code = "ABC", .MultiplePrice = true, .WooID = "55"};
    given.Subs[0] = "Single";
    given.Subs[1] = "Six";
    given.Subs[3] = "Four";
    given.VarIDs[1] = "56";
    given.VarIDs[2] = "57";
    Product(given);
    ClearRequests();
    UploadProducts(Woo);

    // An adopted variation is sent again at once, as an update of its id.
    const bool adopted = !*c.Fault && *c.VarID1 && std::string(c.VarID1) != "*";
    const auto sent = Requests("variations/batch");
    ASSERT_EQ(sent.size(), adopted ? 2u : 1u);
    EXPECT_EQ(sent[0].Path, "products/55/variations/batch");
    const rapidjson::Document body = ParseJson(sent[0].Body);
    EXPECT_EQ(JsonToText(body["delete"]), R"(["57"])");
    if (adopted) {
      const rapidjson::Document again = ParseJson(sent[1].Body);
      EXPECT_EQ(again.MemberCount(), 1u);
      EXPECT_EQ(MemberText(again["update"][0], "id"), c.VarID1);
      EXPECT_EQ(MemberText(again["update"][0], "sku"), "ABC-PK1");
    }
    const std::pair<const char*, const char*> created[] = {{"WooVarID1", c.VarID1}, {"WooVarID4", c.VarID4}};
    for (const auto& [column, expected] : created) {
      const std::string id = Extend("ABC", column);
      if (std::string(expected) == "*") {
        EXPECT_FALSE(id.empty()) << column;
        EXPECT_NE(id, "56") << column;
      } else {
        EXPECT_EQ(id, expected) << column;
      }
    }
    // Whatever holds the SKU now has the price and stock the POS sent, or,
    // when it is not this product's, is left as it was.
    for (const char* table : {"products", "variations"}) {
      const rapidjson::Document rows = ShopTable(table);
      for (const auto& row : rows.GetArray()) {
        if (MemberText(row, "sku") != "ABC-PK1") continue;
        const bool ours = MemberText(row, "id") == Extend("ABC", "WooVarID1");
        EXPECT_EQ(MemberText(row, "stock_quantity"), ours ? "10" : "39") << table;
        EXPECT_EQ(MemberText(row, ours ? "price" : "regular_price"), ours ? "10" : "1.00") << table;
      }
    }
    EXPECT_EQ(Extend("ABC", "WooVarID2"), "56");
    EXPECT_EQ(Extend("ABC", "WooVarID3"), "");  // deleted: the column is emptied
    EXPECT_EQ(Extend("ABC", "LastSyncedAt"), c.Synced ? kUploadTimeText : "");
  }
}

TEST_F(ProductUploadTest, RefusedUpdateAndFailedVariationRequestWriteNothingMore) {
  Product({.Code = "UNKNOWN", .WooID = "999"});
  TProductSeed packs{.Code = "PACKS", .MultiplePrice = true};
  packs.Subs[0] = "Single";
  Product(packs);
  Fault("variations/batch$", 200, "<html>busy</html>");
  UploadProducts(Woo);
  EXPECT_EQ(Extend("UNKNOWN", "LastSyncedAt"), "");
  // The product is recorded without the variation it could not send, and
  // stays pending.
  EXPECT_FALSE(Extend("PACKS", "WooID").empty());
  EXPECT_EQ(Extend("PACKS", "WooVarID1"), "");
  EXPECT_EQ(Extend("PACKS", "LastSyncedAt"), "");
  const auto lines = LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Request Failed."), lines.end());

  // The next pass sends it again and its variation arrives.
  FixedClock.Advance(60);
  UploadProducts(Woo);
  EXPECT_FALSE(Extend("PACKS", "WooVarID1").empty());
  EXPECT_NE(Extend("PACKS", "LastSyncedAt"), "");
  EXPECT_EQ(ShopTable("variations").Size(), 1u);
}

TEST_F(ProductUploadTest, WithdrawnProductOfferedAgainIsCreatedAfresh) {
  TProductSeed given{.Code = "ABC", .MultiplePrice = true, .D1 = "Hans"};
  given.Subs[0] = "Single";
  Product(given);
  UploadProducts(Woo);
  const std::string first = Extend("ABC", "WooID");
  ASSERT_FALSE(Extend("ABC", "Translate1").empty());
  ASSERT_FALSE(Extend("ABC", "WooVarID1").empty());

  Exec("Update Product Set OnlineOrderItem = 0 Where ProductCode = N'ABC';");
  TouchProduct("ABC");
  UploadProducts(Woo);
  EXPECT_EQ(Extend("ABC", "WooID"), "");
  EXPECT_EQ(Extend("ABC", "Translate1"), "");
  EXPECT_EQ(Extend("ABC", "WooVarID1"), "");
  EXPECT_EQ(ShopTable("products").Size(), 0u);

  Exec("Update Product Set OnlineOrderItem = 1 Where ProductCode = N'ABC';");
  TouchProduct("ABC");
  ClearRequests();
  UploadProducts(Woo);
  const std::string again = Extend("ABC", "WooID");
  EXPECT_FALSE(again.empty());
  EXPECT_NE(again, first);
  EXPECT_FALSE(Extend("ABC", "WooVarID1").empty());
  EXPECT_FALSE(Extend("ABC", "Translate1").empty());
  EXPECT_EQ(ShopTable("products").Size(), 2u);
  EXPECT_EQ(ShopTable("variations").Size(), 1u);
  for (const auto& r : Requests()) EXPECT_EQ(r.Body.find("\"update\""), std::string::npos) << r.Body;
}

TEST_F(ProductUploadTest, RefusedDeleteKeepsTheProductPending) {
  SeedShop(R"([{"id": 400, "sku": "GONE"}])", "[]");
  Product({.Code = "GONE", .Online = false, .WooID = "400"});
  Fault("products/batch$", 200,
        R"({"delete": [{"id": 400, "error": {"code": "woocommerce_rest_cannot_delete", "message": "No.",
          "data": {"status": 500}}}]})");
  UploadProducts(Woo);
  EXPECT_EQ(Extend("GONE", "WooID"), "400");
  EXPECT_EQ(Extend("GONE", "LastSyncedAt"), "");

  UploadProducts(Woo);  // sent again; now the shop deletes it
  EXPECT_EQ(Extend("GONE", "WooID"), "");
  EXPECT_EQ(ShopTable("products").Size(), 0u);
}

TEST_F(ProductUploadTest, LevelIsReadFromTheEndOfTheSku) {
  TProductSeed given{.Code = "BEER-PK6", .MultiplePrice = true};
  given.Subs[1] = "Six";
  Product(given);
  UploadProducts(Woo);
  EXPECT_FALSE(Extend("BEER-PK6", "WooVarID2").empty());
  EXPECT_EQ(Extend("BEER-PK6", "WooVarID6"), "");
}

// The debug log of a product run and of a stock run, without the channel's
// own lines; JSON texts shown as {json}.
TEST_F(ProductUploadTest, DebugLogOfProductAndStockRuns) {
  auto lines = [this] {
    std::vector<std::string> out;
    for (const std::string& line : LogLines()) {
      if (line.rfind("URI: ", 0) == 0 || line.find("/batch") != std::string::npos) continue;
      out.push_back(!line.empty() && (line[0] == '{' || line[0] == '[') ? "{json}" : line);
    }
    ClearLog();
    return out;
  };
  TProductSeed given{.Code = "ABC", .MultiplePrice = true, .D1 = "Hans"};
  given.Subs[0] = "Single";
  Product(given);
  ClearLog();
  UploadProducts(Woo);
  EXPECT_EQ(lines(), (std::vector<std::string>{
                         "Getting Need to Upload Products...", "Start Upload Products, total batches: 1", "{json}",
                         "{json}", "Start Upload Product Variations", "Finished Upload Product Variations",
                         "Start Upload Product Translations", "{json}", "Finished Upload Product Translations",
                         "Finished Upload Products"}));

  TouchStock("ABC");
  UploadProductsStockData(Woo);
  EXPECT_EQ(lines(), (std::vector<std::string>{"Getting Need to Upload Product Stock Data...",
                                               "Start Upload Products Stock Data, total batches: 1",
                                               "Start Upload Product Variations Stock Data",
                                               "Finished Upload Product Variations Stock Data",
                                               "Finished Upload Products Stock Data"}));

  UploadProducts(Woo);
  UploadProductsStockData(Woo);
  EXPECT_EQ(lines(), (std::vector<std::string>{"Getting Need to Upload Products...", " |- No new data.",
                                               "Getting Need to Upload Product Stock Data...", " |- No new data."}));
}

}  // namespace
}  // namespace ooa::test
