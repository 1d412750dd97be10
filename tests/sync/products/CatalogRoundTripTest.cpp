// The demo catalogue (posdb init --demo) through whole catalogue passes
// against the stand-in shop: everything arrives within two passes with its
// links, a caught-up catalogue sends nothing, and a price change and a stock
// change send exactly those products.
#include <chrono>
#include <map>

#include "config/UtilUnit.h"
#include "sync/products/ProductFixture.h"
#include "sync/Passes.h"
#include "support/PosDatabase.h"

namespace ooa::test {
namespace {

class CatalogRoundTripTest : public TProductTest {
 protected:
  CatalogRoundTripTest() {
    const std::string demo = Dir.File("DEMO.DB");
    CreatePosDatabase(demo, {"--demo"});
    Server.PointAt(Config, demo);
    SetConfig(Config);
    if (!Db.ConnectToServer(Config)) ADD_FAILURE() << "cannot open " << demo;
    // posdb stamped the rows with the real time; upload an hour later.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    FixedClock.SetNowUtc(TDateTime::FromUnixSeconds(std::chrono::duration<double>(now).count() + 3600));
  }

  void Pass() {
    ClearRequests();
    RunCatalogPass(Woo);
  }

  // A shop table by id.
  std::map<std::string, rapidjson::Value> ById(const char* table) {
    std::map<std::string, rapidjson::Value> out;
    rapidjson::Document rows = table == std::string("categories") ? ShopCategories() : ShopTable(table);
    for (auto& row : rows.GetArray()) out.emplace(MemberText(row, "id"), rapidjson::Value(row, Keep.GetAllocator()));
    return out;
  }
  std::string CategoryColumn(const std::string& code, const std::string& column) { return Column(code, column); }

  rapidjson::Document Keep;
};

TEST_F(CatalogRoundTripTest, DemoCatalogueArrivesWithinTwoPassesThenStaysQuiet) {
  Pass();
  Pass();
  auto categories = ById("categories");
  auto products = ById("products");
  auto variations = ById("variations");
  const char* const langs[] = {"zh-hans", "zh-hant"};

  const TRecordSet cats = Rows("Select Category, OnlineSales, Description1, Description2 From Category");
  for (int i = 0; i < cats.RecordCount(); ++i) {
    const std::string code = cats.Rows[i][0].AsString();
    SCOPED_TRACE(code);
    const std::string id = Column(code, "WooID");
    if (!cats.Rows[i][1].AsBoolean()) {
      EXPECT_EQ(id, "");
      continue;
    }
    ASSERT_TRUE(categories.count(id));
    for (int n = 1; n <= 2; ++n) {
      const std::string description = cats.Rows[i][1 + n].AsString();
      const std::string t = Column(code, "Translate" + std::to_string(n));
      if (description.empty()) continue;
      ASSERT_TRUE(categories.count(t)) << n;
      EXPECT_EQ(MemberText(categories[t], "translation_of"), id);
    }
  }

  const TRecordSet rows = Rows(
      "Select p.ProductCode, p.OnlineOrderItem, p.Description1, p.Description2, p.MultiplePrice, c.WooID, "
      "c.Translate1, c.Translate2 From Product p Join Category c On p.Category = c.Category");
  int variationCount = 0;
  for (int i = 0; i < rows.RecordCount(); ++i) {
    const std::string code = rows.Rows[i][0].AsString();
    SCOPED_TRACE(code);
    const std::string id = Extend(code, "WooID");
    if (!rows.Rows[i][1].AsBoolean()) {
      EXPECT_EQ(id, "");
      continue;
    }
    ASSERT_TRUE(products.count(id));
    const rapidjson::Value& p = products[id];
    EXPECT_EQ(MemberText(p, "sku"), code);
    EXPECT_EQ(MemberText(p["categories"][0], "id"), rows.Rows[i][5].AsString());
    for (int n = 1; n <= 2; ++n) {
      const std::string description = rows.Rows[i][1 + n].AsString();
      const std::string t = Extend(code, "Translate" + std::to_string(n));
      if (description.empty()) {
        EXPECT_EQ(t, "");
        continue;
      }
      ASSERT_TRUE(products.count(t)) << n;
      const rapidjson::Value& copy = products[t];
      EXPECT_EQ(MemberText(copy, "translation_of"), id);
      EXPECT_EQ(MemberText(copy, "lang"), langs[n - 1]);
      EXPECT_EQ(MemberText(copy, "name"), description);
      // The translated category when it was in the shop before the product, else the main one.
      const std::string category = MemberText(copy["categories"][0], "id");
      EXPECT_TRUE(category == rows.Rows[i][5].AsString() || category == rows.Rows[i][5 + n].AsString()) << category;
    }
    for (int level = 1; level <= 6; ++level) {
      const std::string v = Extend(code, "WooVarID" + std::to_string(level));
      if (v.empty()) continue;
      ++variationCount;
      ASSERT_TRUE(variations.count(v)) << level;
      EXPECT_EQ(MemberText(variations[v], "sku"), code + "-PK" + std::to_string(level));
      EXPECT_EQ(MemberText(variations[v], "parent_id"), id);
    }
    if (rows.Rows[i][4].AsBoolean()) EXPECT_EQ(MemberText(p, "type"), "variable");
  }
  EXPECT_EQ(variationCount, 5);  // the lager's three packs, the water's two
  EXPECT_EQ(variations.size(), 5u);

  Pass();
  EXPECT_TRUE(Requests().empty());

  // One price change and one stock change.
  FixedClock.Advance(60);
  const std::string changed = SqlDateTimeLiteral(FixedClock.NowLocal());
  Exec("Update Product Set SalesPrice1 = 25, ModifyDate = " + changed + " Where ProductCode = N'SHZ750';");
  Exec("Update Product Set StockQty1 = 3 Where ProductCode = N'GIN700';");
  Exec("Update ProductExtend Set LastStockUpdatedAt = " + changed + " Where ProductCode = N'GIN700';");
  FixedClock.Advance(60);
  Pass();
  const auto sent = Requests();
  ASSERT_EQ(sent.size(), 2u);
  const rapidjson::Document price = ParseJson(sent[0].Body);
  ASSERT_TRUE(price.HasMember("update"));
  EXPECT_EQ(price.MemberCount(), 1u);
  EXPECT_EQ(MemberText(price["update"][0], "sku"), "SHZ750");
  EXPECT_EQ(RawMember(sent[0].Body, "SHZ750", "regular_price"), " 27.50");
  for (const auto& entry : price["update"].GetArray())  // the product and its two translations
    EXPECT_EQ(MemberText(entry, "raw_product_code"), "SHZ750");
  EXPECT_EQ(sent[1].Body, R"({"update":[{"stock_quantity":3,"stock_status":"instock","id":")" +
                              Extend("GIN700", "WooID") + R"("}]})");
  EXPECT_EQ(MemberText(ById("products")[Extend("SHZ750", "WooID")], "price"), "27.5");

  Pass();
  EXPECT_TRUE(Requests().empty());
}

// A fresh POS database with the same catalogue and no shop ids, pointed at
// the shop that holds it: every group, category, product, variation and
// translation is adopted (by name, SKU or language), the shop gains nothing,
// and once the adopted products were updated the passes are quiet.
TEST_F(CatalogRoundTripTest, FreshPosDatabaseAdoptsTheShopsCatalogueWithItsTranslations) {
  Pass();
  Pass();
  auto links = [this] {
    std::map<std::string, std::string> out;
    const TRecordSet cats = Rows("Select Category, WooID, Translate1, Translate2 From Category");
    for (const auto& row : cats.Rows)
      for (int c = 1; c <= 3; ++c) out[row[0].AsString() + " " + cats.Columns[c]] = row[c].AsString();
    const TRecordSet products = Rows(
        "Select ProductCode, WooID, Translate1, Translate2, WooVarID1, WooVarID2, WooVarID3 From ProductExtend");
    for (const auto& row : products.Rows)
      for (int c = 1; c <= 6; ++c) out[row[0].AsString() + " " + products.Columns[c]] = row[c].AsString();
    return out;
  };
  auto sizes = [this] {
    return std::to_string(ShopCategories().Size()) + " categories, " + std::to_string(ShopTable("products").Size()) +
           " products, " + std::to_string(ShopTable("variations").Size()) + " variations";
  };
  const auto before = links();
  const std::string shop = sizes();

  const std::string fresh = Dir.File("FRESH.DB");
  CreatePosDatabase(fresh, {"--demo"});
  Server.PointAt(Config, fresh);
  SetConfig(Config);
  ASSERT_TRUE(Db.ConnectToServer(Config));
  Pass();
  Pass();
  EXPECT_EQ(links(), before);
  EXPECT_EQ(sizes(), shop);
  Pass();
  EXPECT_TRUE(Requests().empty());
}

}  // namespace
}  // namespace ooa::test
