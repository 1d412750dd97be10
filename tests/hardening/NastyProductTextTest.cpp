// Hostile texts in POS products, uploaded to the stand-in shop: product codes
// (the shop's SKUs), names, barcodes, translated names and price level names
// arrive exactly as the POS holds them, and the shop's ids come back to the
// right rows.
#include <map>
#include <string>
#include <vector>

#include "shop/woo/BatchList.h"
#include "hardening/NastyTexts.h"
#include "sync/products/ProductFixture.h"
#include "sync/catalog/CatalogueUploads.h"

namespace ooa::test {
namespace {

class NastyProductText : public TProductTest {
 protected:
  std::map<std::string, rapidjson::Value> ById(const char* table) {
    rapidjson::Document rows = ShopTable(table);
    std::map<std::string, rapidjson::Value> byId;
    for (auto& row : rows.GetArray()) byId.emplace(MemberText(row, "id"), rapidjson::Value(row, Keep.GetAllocator()));
    return byId;
  }
  rapidjson::Document Keep;
};

TEST_F(NastyProductText, CodesNamesBarcodesAndLevelNamesArriveExactly) {
  const std::vector<TNastyText> texts = NastyTexts();
  for (const TNastyText& t : texts) {
    TProductSeed given;
    given.Code = t.Text;
    given.Description = t.Text + " D";
    given.D1 = t.Text + " T";
    given.BarCode = t.Text;
    given.MultiplePrice = true;
    given.Subs[0] = t.Text + " 1";
    given.Subs[1] = t.Text + " 2";
    given.Sales[1] = 20;
    Product(given);
  }

  UploadProducts(Woo);

  const auto products = ById("products");
  const auto variations = ById("variations");
  for (const TNastyText& t : texts) {
    SCOPED_TRACE(t.Label);
    const std::string id = Extend(t.Text, "WooID");
    ASSERT_EQ(products.count(id), 1u) << "no shop product for the row's id '" << id << "'";
    const rapidjson::Value& p = products.at(id);
    EXPECT_EQ(MemberText(p, "sku"), t.Text);
    EXPECT_EQ(MemberText(p, "name"), t.Text + " D");
    std::string barcode = "<none>";
    if (p.HasMember("meta_data") && p["meta_data"].IsArray())
      for (const auto& meta : p["meta_data"].GetArray())
        if (MemberText(meta, "key") == "barcode") barcode = MemberText(meta, "value");
    EXPECT_EQ(barcode, t.Text);
    ASSERT_TRUE(p.HasMember("attributes") && p["attributes"].IsArray() && p["attributes"].Size() == 1);
    const rapidjson::Value& options = p["attributes"][0]["options"];
    ASSERT_TRUE(options.IsArray() && options.Size() == 2);
    EXPECT_EQ(JsonTextOrEmpty(options[0]), t.Text + " 1");
    EXPECT_EQ(JsonTextOrEmpty(options[1]), t.Text + " 2");

    for (int level = 1; level <= 2; ++level) {
      const std::string varId = Extend(t.Text, "WooVarID" + std::to_string(level));
      ASSERT_EQ(variations.count(varId), 1u) << "level " << level;
      EXPECT_EQ(MemberText(variations.at(varId), "sku"), t.Text + "-PK" + std::to_string(level));
      EXPECT_EQ(MemberText(variations.at(varId), "parent_id"), id);
    }

    const std::string translation = Extend(t.Text, "Translate1");
    ASSERT_EQ(products.count(translation), 1u) << "no translation '" << translation << "'";
    EXPECT_EQ(MemberText(products.at(translation), "name"), t.Text + " T");
    EXPECT_EQ(MemberText(products.at(translation), "translation_of"), id);
  }
}

}  // namespace
}  // namespace ooa::test
