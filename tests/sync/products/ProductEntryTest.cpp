// What GetProducts builds from product rows: status, price, stock, barcode,
// type and which rows are not sent; translations and withdrawn products; the
// "%6.2f" money tokens.
#include <functional>
#include <locale>

#include "sync/products/ProductFixture.h"
#include "sync/catalog/CatalogueBatches.h"

namespace ooa::test {
namespace {

class ProductEntryTest : public TProductTest {
 protected:
  // Every batch's JSON text, and the parsed entries by "sku" (creates and updates).
  void Build() {
    Batches = GetProducts(Db);
    Texts.clear();
    Parsed.clear();
    for (std::size_t i = 0; i < Batches.List.Count(); ++i) {
      Texts.push_back(Batches.List.BatchJson(i));
      Parsed.push_back(Batches.List.Batch(i));
    }
  }
  const rapidjson::Value* Entry(const std::string& sku) {
    for (const rapidjson::Document& batch : Parsed) {
      for (const char* array : {"create", "update"}) {
        if (!batch.HasMember(array)) continue;
        for (const auto& e : batch[array].GetArray())
          if (MemberText(e, "sku") == sku) return &e;
      }
    }
    return nullptr;
  }
  std::string Raw(const std::string& sku, const std::string& member) {
    for (const std::string& text : Texts)
      if (std::string value = RawMember(text, sku, member); !value.empty()) return value;
    return "";
  }

  TProductBatches Batches;
  std::vector<std::string> Texts;
  std::vector<rapidjson::Document> Parsed;
};

TEST_F(ProductEntryTest, ProductRowsGiveTheirStatusPriceStockAndType) {
  struct Case {
    const char* Code;
    std::function<void(TProductSeed&)> Change;
    const char* Status;  // nullptr: not sent
    const char* Price;
    long long Qty;
    const char* StockStatus;
    const char* Type = "simple";
  };
  const Case cases[] = {
      {"PLAIN", [](TProductSeed&) {}, "publish", " 10.00", 10, "instock"},
      {"OPEN", [](TProductSeed& s) { s.OpenPrice = true; }, "draft", " 10.00", 10, "instock"},
      {"WEIGHED", [](TProductSeed& s) { s.Scalable = true; }, "draft", " 10.00", 10, "instock"},
      {"HIDDEN", [](TProductSeed& s) { s.Live = false; }, nullptr, "", 0, ""},
      {"HIDDENSHOP", [](TProductSeed& s) { s.Live = false; s.WooID = "500"; }, "draft", " 10.00", 10, "instock"},
      {"GSTINC", [](TProductSeed& s) { s.GSTRate = 10; s.GSTStatus = true; }, "publish", " 11.00", 10, "instock"},
      {"GSTEXC", [](TProductSeed& s) { s.GSTRate = 10; }, "publish", " 10.00", 10, "instock"},
      {"ONLINE", [](TProductSeed& s) { s.OnlinePrices[0] = 8.5; }, "publish", "  8.50", 10, "instock"},
      {"DEAR", [](TProductSeed& s) { s.Sales[0] = 1234.5; }, "publish", "1234.50", 10, "instock"},
      {"LEVELM1", [](TProductSeed& s) { s.DefaultSalesPrice = -1; s.Sales[1] = 99; }, "publish", " 10.00", 10,
       "instock"},
      {"LEVEL3", [](TProductSeed& s) { s.DefaultSalesPrice = 2; s.Sales[2] = 30; s.Deduct[2] = 3; }, "publish",
       " 30.00", 3, "instock"},
      {"DEDUCT3", [](TProductSeed& s) { s.Deduct[0] = 3; }, "publish", " 10.00", 3, "instock"},
      {"HALFMEASURE", [](TProductSeed& s) { s.Deduct[0] = 3; s.MeasureQty = 0.5; }, "publish", " 10.00", 10,
       "instock"},
      {"DEDUCT0", [](TProductSeed& s) { s.Deduct[0] = 0; }, "publish", " 10.00", 10, "instock"},
      {"NEGATIVE", [](TProductSeed& s) { s.Stock = -2; }, "publish", " 10.00", 0, "outofstock"},
      {"NOCONTROL", [](TProductSeed& s) { s.StockControl = false; s.Stock = -2; }, "publish", " 10.00", 0,
       "instock"},
      {"NOSUBS", [](TProductSeed& s) { s.MultiplePrice = true; }, "publish", " 10.00", 10, "instock"},
      {"PACKS", [](TProductSeed& s) { s.MultiplePrice = true; s.Subs[0] = "Single"; }, "publish", " 10.00", 10,
       "instock", "variable"},
      {"NOCATEGORY", [](TProductSeed& s) { s.Category = "NEWCAT"; }, nullptr, "", 0, ""},
      {"NOEXTEND", [](TProductSeed& s) { s.Extend = false; }, nullptr, "", 0, ""},
      {"BADLEVEL", [](TProductSeed& s) { s.DefaultSalesPrice = 7; }, nullptr, "", 0, ""},
  };
  Category({.Code = "NEWCAT", .Description = "New"});
  for (const Case& c : cases) {
    TProductSeed given{.Code = c.Code};
    c.Change(given);
    Product(given);
  }
  Build();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Code);
    const rapidjson::Value* e = Entry(c.Code);
    if (!c.Status) {
      EXPECT_EQ(e, nullptr);
      continue;
    }
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(MemberText(*e, "status"), c.Status);
    EXPECT_EQ(Raw(c.Code, "regular_price"), c.Price);
    EXPECT_EQ(MemberText(*e, "stock_quantity"), std::to_string(c.Qty));
    EXPECT_EQ(MemberText(*e, "stock_status"), c.StockStatus);
    EXPECT_EQ(MemberText(*e, "type"), c.Type);
    EXPECT_EQ(MemberText(*e, "tax_class"), std::string(c.Code).rfind("GST", 0) == 0 ? "standard" : "zero_rate");
    EXPECT_EQ(MemberText((*e)["categories"][0], "id"), "20");
  }
  const auto lines = LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), " |- Product NOEXTEND has no ProductExtend row; not sent."),
            lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      " |- Product BADLEVEL has no price level 8 (DefaultSalesPrice); not sent."),
            lines.end());
}

TEST_F(ProductEntryTest, EntryMembersInOrderWithBarcodeFallback) {
  Product({.Code = "NOBAR", .BarCode = ""});
  Build();
  ASSERT_EQ(Texts.size(), 1u);
  EXPECT_EQ(Texts[0],
            R"({"create":[{"status":"publish","categories":[{"id":"20"}],"name":"Product","lang":"en","sku":"NOBAR",)"
            R"("meta_data":[{"key":"barcode","value":"NOBAR"}],"raw_product_code":"NOBAR","tax_class":"zero_rate",)"
            R"("manage_stock":true,"stock_quantity":10,"stock_status":"instock","regular_price": 10.00,)"
            R"("type":"simple","attributes":[],"default_attributes":[]}]})");
}

TEST_F(ProductEntryTest, TranslationsUpdateExistingCopiesAndWaitForNewOnes) {
  // zh-hans copy exists (Translate1), zh-hant copy is new; the category has a
  // zh-hans translation (21) only.
  Product({.Code = "TR", .D1 = "Hans", .D2 = "Hant", .WooID = "300", .T1 = "301"});
  Product({.Code = "NEW", .D1 = "Hans", .D2 = "Hant"});
  Build();
  ASSERT_EQ(Batches.List.Count(), 1u);
  const rapidjson::Value& batch = Parsed[0];
  ASSERT_EQ(batch["update"].Size(), 2u);  // TR and its zh-hans copy
  const rapidjson::Value& copy = batch["update"][1];
  EXPECT_EQ(MemberText(copy, "name"), "Hans");
  EXPECT_EQ(MemberText(copy, "lang"), "zh-hans");
  EXPECT_FALSE(copy.HasMember("sku"));
  EXPECT_EQ(MemberText(copy["categories"][0], "id"), "21");
  EXPECT_EQ(MemberText(copy, "translation_of"), "300");
  EXPECT_EQ(MemberText(copy, "id"), "301");
  // Members in the product's order, the replaced ones appended in turn.
  std::string names;
  for (const auto& m : copy.GetObject()) names += std::string(names.empty() ? "" : " ") + m.name.GetString();
  EXPECT_EQ(names,
            "status meta_data raw_product_code tax_class manage_stock stock_quantity stock_status regular_price type "
            "attributes default_attributes name lang categories translation_of id");
  // The new product's copies wait for its shop id; the zh-hant one keeps the
  // main category. TR's missing zh-hant copy is not queued.
  ASSERT_EQ(Batches.Translations.count("NEW"), 1u);
  rapidjson::Document queued;
  queued.Parse(Batches.Translations.at("NEW").c_str());
  ASSERT_EQ(queued.Size(), 2u);
  EXPECT_EQ(MemberText(queued[1], "lang"), "zh-hant");
  EXPECT_EQ(MemberText(queued[1]["categories"][0], "id"), "20");
  EXPECT_FALSE(queued[1].HasMember("translation_of"));
  EXPECT_EQ(MemberText(queued[1], "raw_product_code"), "NEW");
}

TEST_F(ProductEntryTest, WithdrawnProductDeletesItselfAndItsTranslations) {
  Product({.Code = "GONE", .Online = false, .D1 = "Hans", .WooID = "400", .T1 = "401", .T3 = "403"});
  Product({.Code = "OFFLINE", .Online = false});
  Build();
  ASSERT_EQ(Texts.size(), 1u);
  EXPECT_EQ(Texts[0], R"({"delete":["400","401","403"]})");
}

TEST(MoneyToken, SixWideTwoDecimalsWithAPointInAnyLocale) {
  struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new Comma));
  const std::pair<double, const char*> cases[] = {
      {5, "  5.00"}, {11, " 11.00"}, {1234.5, "1234.50"}, {0.125, "  0.12"}, {-3, " -3.00"}, {99.999, "100.00"}};
  for (const auto& [amount, token] : cases) EXPECT_EQ(MoneyToken(amount), token) << amount;
  std::locale::global(previous);
}

}  // namespace
}  // namespace ooa::test
