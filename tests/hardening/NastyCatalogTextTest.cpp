// Hostile texts in the POS catalogue, uploaded to the stand-in shop: category
// codes, names and translated names arrive at the shop exactly as the POS
// holds them, and the shop's ids come back to the right rows.
#include <map>
#include <string>
#include <vector>

#include "sync/catalog/CatalogFixture.h"
#include "hardening/NastyTexts.h"
#include "sync/catalog/CatalogueUploads.h"

namespace ooa::test {
namespace {

class NastyCatalogText : public TCatalogTest {
 protected:
  // The shop's categories by id: name, raw_name (empty when absent) and
  // translation_of.
  struct TShopCategory {
    std::string Name, RawName, TranslationOf;
  };
  std::map<std::string, TShopCategory> ShopById() {
    std::map<std::string, TShopCategory> byId;
    rapidjson::Document categories = ShopCategories();
    auto text = [](const rapidjson::Value& c, const char* name) {
      auto it = c.FindMember(name);
      if (it == c.MemberEnd()) return std::string();
      if (it->value.IsString()) return std::string(it->value.GetString(), it->value.GetStringLength());
      if (it->value.IsInt64()) return std::to_string(it->value.GetInt64());
      return std::string();
    };
    for (const auto& c : categories.GetArray())
      byId[text(c, "id")] = {text(c, "name"), text(c, "raw_name"), text(c, "translation_of")};
    return byId;
  }
};

TEST_F(NastyCatalogText, CategoryCodesNamesAndTranslationsArriveExactly) {
  const std::vector<TNastyText> texts = NastyTexts();
  for (const TNastyText& t : texts) {
    TCategorySeed row;
    row.Code = t.Text;
    row.Description = t.Text + " D";
    row.D1 = t.Text + " T";
    Category(row);
  }

  UploadCatgories(Woo, false);
  UploadTranslationsOfCatgories(Woo);

  const std::map<std::string, TShopCategory> shop = ShopById();
  EXPECT_EQ(shop.size(), 2 * texts.size());
  for (const TNastyText& t : texts) {
    SCOPED_TRACE(t.Label);
    const std::string id = Column(t.Text, "WooID");
    ASSERT_EQ(shop.count(id), 1u) << "no shop category for the row's id '" << id << "'";
    EXPECT_EQ(shop.at(id).Name, t.Text + " D");
    EXPECT_EQ(shop.at(id).RawName, t.Text);
    const std::string translation = Column(t.Text, "Translate1");
    ASSERT_EQ(shop.count(translation), 1u) << "no shop category for the translation id '" << translation << "'";
    EXPECT_EQ(shop.at(translation).Name, t.Text + " T");
    EXPECT_EQ(shop.at(translation).TranslationOf, id);
  }
}

}  // namespace
}  // namespace ooa::test
