// The catalogue against the real shop: groups, categories, a simple and a
// variable product with their stock arrive in one pass; a price change, a
// rename, a stock change and a withdrawal follow in the next; then the
// catalogue stays quiet. And a fresh POS database pointed at a shop that
// already holds the catalogue adopts everything by name or SKU, duplicates
// nothing and brings the shop's stock to the POS's, also when only the
// variations' ids are lost. Both sides are checked:
// the POS rows and the shop's objects read back through its API. Codes and
// names carry the run's tag, so earlier runs' objects do not meet them.
#include <cmath>
#include <map>

#include "config/Clock.h"
#include "config/UtilUnit.h"
#include "realshop/RealShopWorld.h"

namespace ooa::test {
namespace {

class CatalogueSuite : public TRealShopTest {
 protected:
  std::string T(const std::string& code) const { return RunTag() + "-" + code; }

  // Two groups, two categories, three products: CHIPS (simple, 3.64 + 10 %
  // GST, 60 in stock), LAGER (Single and 6 Pack, 240 in stock), OLD (simple).
  void SeedCatalogue(double lagerStock = 240) {
    const std::string tag = RunTag();
    auto category = [&](const std::string& code, const std::string& group, bool isGroup, const std::string& name) {
      Exec("Insert Into Category (Category, CategoryGroup, IsGroup, Description, OnlineSales, LastUpdatedAt) "
           "Values (" + SqlTextLiteral(T(code)) + ", " + (group.empty() ? "Null" : SqlTextLiteral(T(group))) + ", " +
           BoolToSqlBit(isGroup) + ", " + SqlTextLiteral(tag + " " + name) + ", 1, '12/01/2026 10:00:00');");
    };
    category("DRINK", "", true, "Drinks");
    category("PANTRY", "", true, "Pantry");
    category("BEER", "DRINK", false, "Beer & Cider");
    category("SNACK", "PANTRY", false, "Snacks");
    auto product = [&](const std::string& code, const std::string& cat, const std::string& name, bool multiple,
                       double stock, const std::string& levels) {
      Exec("Insert Into Product (ProductCode, Category, Description, OnlineOrderItem, ModifyDate, Live, GSTRate, "
           "GSTStatus, DefaultSalesPrice, MultiplePrice, StockControl, MeasureQty, StockQty1, BarCode, SalesPrice1, "
           "DeductStockQty, SubDescription, SalesPrice2, DeductStockQty1, SubDescription1) Values (" +
           SqlTextLiteral(T(code)) + ", " + SqlTextLiteral(T(cat)) + ", " + SqlTextLiteral(tag + " " + name) +
           ", 1, '12/01/2026 10:00:00', 1, 10, 1, 0, " + BoolToSqlBit(multiple) + ", 1, 1, " + FloatToText(stock) +
           ", '9300000000001', " + levels + ");" + "Insert Into ProductExtend (ProductCode, LastStockUpdatedAt) Values (" +
           SqlTextLiteral(T(code)) + ", '12/01/2026 10:00:00');");
    };
    product("CHIPS", "SNACK", "Potato Chips", false, 60, "3.64, 1, Null, 0, 1, Null");
    product("LAGER", "BEER", "Pale Lager", true, lagerStock, "3.64, 1, N'Single', 19.09, 6, N'6 Pack'");
    product("OLD", "SNACK", "Old Stock", false, 5, "1, 1, Null, 0, 1, Null");
  }

  std::string Extend(const std::string& code, const std::string& column) {
    return Value("Select " + column + " From ProductExtend Where ProductCode = " + SqlTextLiteral(T(code)));
  }
  std::string CategoryId(const std::string& code) {
    return Value("Select WooID From Category Where Category = " + SqlTextLiteral(T(code)));
  }
  // A shop object read back; null when the shop does not answer it.
  rapidjson::Document Object(const std::string& resource) {
    TShopAnswer answer = Shop->Get(resource);
    rapidjson::Document doc;
    if (answer.Status == 200) doc.Swap(answer.Json);
    return doc;
  }
  // The shop's objects of this run (name or SKU holding the tag).
  size_t Tagged(const std::string& resource) {
    rapidjson::Document all = Shop->All(resource, {{"search", RunTag()}});
    return all.Size();
  }
};

TEST_F(CatalogueSuite, ArrivesFollowsChangesAndStaysQuiet) {
  OpenPos(false);
  SeedCatalogue();
  CataloguePass();

  // The category tree, with the shop's reading of the names.
  for (const char* code : {"DRINK", "PANTRY", "BEER", "SNACK"}) ASSERT_NE(CategoryId(code), "") << code;
  rapidjson::Document beer = Object("products/categories/" + CategoryId("BEER"));
  ASSERT_TRUE(beer.IsObject());
  EXPECT_EQ(MemberText(beer, "name"), RunTag() + " Beer &amp; Cider");
  EXPECT_EQ(MemberText(beer, "parent"), CategoryId("DRINK"));
  EXPECT_EQ(MemberText(Object("products/categories/" + CategoryId("DRINK")), "parent"), "0");

  // Products with price (GST added), stock and category; the variable one
  // with a variation per level, its stock in that level's units.
  const std::string chipsId = Extend("CHIPS", "WooID"), lagerId = Extend("LAGER", "WooID");
  ASSERT_NE(chipsId, "");
  ASSERT_NE(lagerId, "");
  EXPECT_NE(Extend("CHIPS", "LastSyncedAt"), "");
  rapidjson::Document chips = Object("products/" + chipsId);
  ASSERT_TRUE(chips.IsObject());
  EXPECT_EQ(MemberText(chips, "sku"), T("CHIPS"));
  EXPECT_DOUBLE_EQ(Number(&chips["regular_price"]), 4.00);
  EXPECT_EQ(MemberText(chips, "stock_quantity"), "60");
  EXPECT_EQ(MemberText(chips["categories"][0], "id"), CategoryId("SNACK"));
  rapidjson::Document lager = Object("products/" + lagerId);
  EXPECT_EQ(MemberText(lager, "type"), "variable");
  const struct {
    const char* Column;
    const char* Sku;
    double Price;
    const char* Stock;
  } levels[] = {{"WooVarID1", "LAGER-PK1", 4.00, "240"}, {"WooVarID2", "LAGER-PK2", 21.00, "40"}};
  for (const auto& level : levels) {
    SCOPED_TRACE(level.Column);
    const std::string id = Extend("LAGER", level.Column);
    ASSERT_NE(id, "");
    rapidjson::Document v = Object("products/" + lagerId + "/variations/" + id);
    ASSERT_TRUE(v.IsObject());
    EXPECT_EQ(MemberText(v, "sku"), RunTag() + "-" + level.Sku);
    EXPECT_DOUBLE_EQ(Number(&v["regular_price"]), level.Price);
    EXPECT_EQ(MemberText(v, "stock_quantity"), level.Stock);
  }

  // A price change, a rename, a stock change and a withdrawal.
  NextSecond();
  const std::string now = SqlDateTimeLiteral(Clock().NowLocal());
  Exec("Update Product Set SalesPrice1 = 5, ModifyDate = " + now + " Where ProductCode = " +
       SqlTextLiteral(T("CHIPS")) + ";");
  Exec("Update Product Set Description = " + SqlTextLiteral(RunTag() + " Lager 330") + ", ModifyDate = " + now +
       " Where ProductCode = " + SqlTextLiteral(T("LAGER")) + ";");
  Exec("Update Product Set StockQty1 = 120 Where ProductCode = " + SqlTextLiteral(T("LAGER")) + ";");
  Exec("Update ProductExtend Set LastStockUpdatedAt = " + now + " Where ProductCode = " + SqlTextLiteral(T("LAGER")) +
       ";");
  const std::string oldId = Extend("OLD", "WooID");
  Exec("Update Product Set OnlineOrderItem = 0, ModifyDate = " + now + " Where ProductCode = " +
       SqlTextLiteral(T("OLD")) + ";");
  NextSecond();
  CataloguePass();

  EXPECT_DOUBLE_EQ(Number(&Object("products/" + chipsId)["regular_price"]), 5.50);
  EXPECT_EQ(MemberText(Object("products/" + lagerId), "name"), RunTag() + " Lager 330");
  EXPECT_EQ(MemberText(Object("products/" + lagerId + "/variations/" + Extend("LAGER", "WooVarID1")),
                       "stock_quantity"),
            "120");
  EXPECT_EQ(MemberText(Object("products/" + lagerId + "/variations/" + Extend("LAGER", "WooVarID2")),
                       "stock_quantity"),
            "20");
  EXPECT_EQ(Extend("OLD", "WooID"), "");
  EXPECT_EQ(Shop->Get("products/" + oldId).Status, 404);

  NextSecond();
  CataloguePass();
  EXPECT_EQ(RequestsOfLastPass(), 0);
}

TEST_F(CatalogueSuite, FreshPosDatabaseAdoptsTheShopsCatalogue) {
  OpenPos(false);
  SeedCatalogue(240);
  CataloguePass();
  const char* const products[] = {"CHIPS", "LAGER", "OLD"};
  const char* const categories[] = {"DRINK", "PANTRY", "BEER", "SNACK"};
  std::map<std::string, std::string> first;
  for (const char* code : products)
    for (const char* column : {"WooID", "WooVarID1", "WooVarID2"}) first[std::string(code) + column] = Extend(code, column);
  for (const char* code : categories) first[code] = CategoryId(code);
  const size_t shopProducts = Tagged("products"), shopCategories = Tagged("products/categories");
  EXPECT_EQ(shopProducts, 3u);
  EXPECT_EQ(shopCategories, 4u);

  // The same catalogue in a new POS database that knows no shop ids, with
  // less lager in stock (120: 20 six-packs against the shop's 40).
  OpenPos(false);
  SeedCatalogue(120);
  CataloguePass();
  // An adopted variation has the POS's stock after the same pass.
  EXPECT_EQ(MemberText(Object("products/" + Extend("LAGER", "WooID") + "/variations/" + Extend("LAGER", "WooVarID2")),
                       "stock_quantity"),
            "20");
  CataloguePass();  // the adopted products are sent as updates
  for (const char* code : products) {
    for (const char* column : {"WooID", "WooVarID1", "WooVarID2"})
      EXPECT_EQ(Extend(code, column), first[std::string(code) + column]) << code << " " << column;
  }
  for (const char* code : categories) EXPECT_EQ(CategoryId(code), first[code]) << code;
  EXPECT_EQ(Tagged("products"), shopProducts);
  EXPECT_EQ(Tagged("products/categories"), shopCategories);
  const std::string lagerId = Extend("LAGER", "WooID");
  EXPECT_EQ(MemberText(Object("products/" + lagerId + "/variations/" + Extend("LAGER", "WooVarID2")),
                       "stock_quantity"),
            "20");
  rapidjson::Document variations = Shop->All("products/" + lagerId + "/variations");
  EXPECT_EQ(variations.Size(), 2u);

  // The variation ids are lost while the stock changes (60: 10 six-packs):
  // the product's pass finds its variations by SKU and gives them the stock.
  NextSecond();
  Exec("Update Product Set StockQty1 = 60, ModifyDate = " + SqlDateTimeLiteral(Clock().NowLocal()) +
       " Where ProductCode = " + SqlTextLiteral(T("LAGER")) + ";");
  Exec("Update ProductExtend Set WooVarID1 = '', WooVarID2 = '' Where ProductCode = " + SqlTextLiteral(T("LAGER")) +
       ";");
  NextSecond();
  CataloguePass();
  EXPECT_EQ(Extend("LAGER", "WooVarID2"), first["LAGERWooVarID2"]);
  EXPECT_EQ(MemberText(Object("products/" + lagerId + "/variations/" + Extend("LAGER", "WooVarID2")),
                       "stock_quantity"),
            "10");
  EXPECT_EQ(Shop->All("products/" + lagerId + "/variations").Size(), 2u);

  NextSecond();
  CataloguePass();
  EXPECT_EQ(RequestsOfLastPass(), 0);
}

}  // namespace
}  // namespace ooa::test
