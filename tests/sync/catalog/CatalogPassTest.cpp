// Whole catalogue passes (groups, categories, category translations) against
// the stand-in shop: a new group with its categories and translations reaches
// the shop within two passes and a caught-up catalogue sends nothing; a
// category withdrawn and offered again gets its translations again.
#include <map>
#include <string>
#include <vector>

#include "sync/catalog/CatalogFixture.h"
#include "sync/Passes.h"

namespace ooa::test {
namespace {

class CatalogPassTest : public TCatalogTest {
 protected:
  void Pass() {
    ClearRequests();
    RunCatalogPass(Woo);
  }

  // The shop's categories by id.
  std::map<std::string, const rapidjson::Value*> ById(const rapidjson::Document& categories) {
    std::map<std::string, const rapidjson::Value*> byId;
    for (const auto& c : categories.GetArray()) byId[std::to_string(c["id"].GetInt64())] = &c;
    return byId;
  }

  // Checks that the shop holds the POS category `code` under its WooID, below
  // the group's shop category, and each translation n under Translate n with
  // that language, linked to it and below the group's translation.
  void ExpectInShop(const std::string& code, const std::string& group) {
    SCOPED_TRACE(code);
    const rapidjson::Document categories = ShopCategories();
    auto byId = ById(categories);
    const std::string id = Column(code, "WooID");
    ASSERT_TRUE(byId.count(id)) << "WooID " << id;
    EXPECT_EQ(std::string((*byId[id])["name"].GetString()), Column(code, "Description"));
    const std::string parent = group.empty() ? "0" : Column(group, "WooID");
    EXPECT_EQ(std::to_string((*byId[id])["parent"].GetInt64()), parent);
    const char* const langs[] = {"zh-hans", "zh-hant"};
    for (int n = 1; n <= 2; ++n) {
      const std::string description = Column(code, "Description" + std::to_string(n));
      const std::string translation = Column(code, "Translate" + std::to_string(n));
      if (description.empty()) {
        EXPECT_EQ(translation, "");
        continue;
      }
      ASSERT_TRUE(byId.count(translation)) << "Translate" << n << " " << translation;
      const rapidjson::Value& t = *byId[translation];
      EXPECT_EQ(std::string(t["name"].GetString()), description);
      EXPECT_EQ(std::string(t["lang"].GetString()), langs[n - 1]);
      EXPECT_EQ(std::string(t["translation_of"].GetString()), id);
      const std::string translatedParent = group.empty() ? "0" : Column(group, "Translate" + std::to_string(n));
      EXPECT_EQ(std::to_string(t["parent"].GetInt64()), translatedParent);
    }
  }
};

TEST_F(CatalogPassTest, NewGroupCategoriesAndTranslationsArriveWithinTwoPasses) {
  Category({.Code = "DRINKS", .IsGroup = true, .Description = "Drinks", .D1 = "饮品", .D2 = "飲品"});
  Category({.Code = "WINE", .Group = "DRINKS", .Description = "Wine", .D1 = "葡萄酒", .D2 = "葡萄酒"});
  Category({.Code = "BEER", .Group = "DRINKS", .Description = "Beer", .D2 = "啤酒"});
  Category({.Code = "BAGS", .Description = "Bags", .D1 = "袋子"});
  Category({.Code = "TOBACCO", .Online = false, .Description = "Tobacco", .D1 = "烟草"});

  Pass();  // groups, their categories, and every translation that need not wait
  EXPECT_EQ(CategoryRequests().size(), 3u);
  EXPECT_FALSE(Column("DRINKS", "Translate2").empty());
  EXPECT_FALSE(Column("BAGS", "Translate1").empty());
  EXPECT_EQ(Column("WINE", "Translate1"), "");  // read before its group's translation existed

  Pass();  // the grouped categories' translations
  EXPECT_EQ(CategoryRequests().size(), 1u);
  ExpectInShop("DRINKS", "");
  ExpectInShop("WINE", "DRINKS");
  ExpectInShop("BEER", "DRINKS");
  ExpectInShop("BAGS", "");
  EXPECT_EQ(Column("TOBACCO", "WooID"), "");
  EXPECT_EQ(ShopCategories().Size(), 10u);

  Pass();
  EXPECT_TRUE(CategoryRequests().empty());
}

TEST_F(CatalogPassTest, AWithdrawnCategoryOfferedAgainGetsItsTranslationsAgain) {
  Category({.Code = "BAGS", .Description = "Bags", .D1 = "袋子", .D2 = "袋子"});
  Pass();
  const std::string firstId = Column("BAGS", "WooID");
  ASSERT_FALSE(Column("BAGS", "Translate1").empty());

  Exec("Update Category Set OnlineSales = 0 Where Category = N'BAGS';");
  Touch("BAGS");
  Pass();
  EXPECT_EQ(ShopCategories().Size(), 0u);
  EXPECT_EQ(Column("BAGS", "WooID"), "");

  Exec("Update Category Set OnlineSales = 1 Where Category = N'BAGS';");
  Touch("BAGS");
  Pass();
  EXPECT_NE(Column("BAGS", "WooID"), firstId);
  ExpectInShop("BAGS", "");
  EXPECT_EQ(ShopCategories().Size(), 3u);

  Pass();
  EXPECT_TRUE(CategoryRequests().empty());
}

}  // namespace
}  // namespace ooa::test
