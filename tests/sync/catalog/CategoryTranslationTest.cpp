// Creating the missing category translations against the stand-in shop and an
// embedded POS database: which translations are created when, the column their
// ids go to, and a run in which every translation waits.
#include <string>
#include <vector>

#include "sync/catalog/CatalogFixture.h"
#include "sync/catalog/CatalogueUploads.h"

namespace ooa::test {
namespace {

class CategoryTranslationTest : public TCatalogTest {
 protected:
  // Group DRINKS (shop id 20) and its category WINE (shop id 30), both with a
  // first translated name; neither translation exists yet.
  void GroupAndCategoryInShop() {
    SeedCategories(R"([{"id": 20, "name": "Drinks", "parent": 0, "lang": "en"},
                       {"id": 30, "name": "Wine", "parent": 20, "lang": "en"}])");
    Category({.Code = "DRINKS", .IsGroup = true, .Description = "Drinks", .D1 = "饮品", .WooID = "20"});
    Category({.Code = "WINE", .Group = "DRINKS", .Description = "Wine", .D1 = "葡萄酒", .WooID = "30"});
  }

  // The name of the shop category with that id ("" for none).
  std::string ShopName(const std::string& id) {
    rapidjson::Document categories = ShopCategories();
    for (const auto& c : categories.GetArray())
      if (!id.empty() && std::to_string(c["id"].GetInt64()) == id) return c["name"].GetString();
    return "";
  }
};

// The group's translation comes first; the category's waits for it (its
// "parent" is the group's translation) and follows in the next run.
TEST_F(CategoryTranslationTest, GroupTranslationFirstThenTheCategorys) {
  GroupAndCategoryInShop();

  UploadTranslationsOfCatgories(Woo);
  std::vector<std::string> sent = CategoryRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], R"({"create":[{"name":"饮品","lang":"zh-hans","translation_of":"20"}]})");
  const std::string groupTranslation = Column("DRINKS", "Translate1");
  EXPECT_FALSE(groupTranslation.empty());
  EXPECT_EQ(Column("WINE", "Translate1"), "");
  EXPECT_EQ(Column("DRINKS", "LastSyncedAt"), "");  // no sync time is written

  ClearRequests();
  UploadTranslationsOfCatgories(Woo);
  sent = CategoryRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], R"({"create":[{"name":"葡萄酒","lang":"zh-hans","translation_of":"30","parent":")" +
                         groupTranslation + R"("}]})");
  EXPECT_FALSE(Column("WINE", "Translate1").empty());

  ClearRequests();
  ClearLog();
  UploadTranslationsOfCatgories(Woo);
  EXPECT_TRUE(CategoryRequests().empty());
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"Getting Need to Upload Translations of Categories...",
                                                  " |- No new data."}));
}

// Every selected row waits for its group: the one batch is "{}", it is still
// sent, and nothing is written.
TEST_F(CategoryTranslationTest, AllWaitingSendsAnEmptyBatch) {
  SeedCategories(R"([{"id": 20, "name": "Drinks", "parent": 0, "lang": "en"},
                     {"id": 30, "name": "Wine", "parent": 20, "lang": "en"}])");
  Category({.Code = "DRINKS", .IsGroup = true, .Description = "Drinks", .WooID = "20"});
  Category({.Code = "WINE", .Group = "DRINKS", .Description = "Wine", .D1 = "葡萄酒", .WooID = "30"});

  UploadTranslationsOfCatgories(Woo);
  EXPECT_EQ(CategoryRequests(), (std::vector<std::string>{"{}"}));
  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(log[1], "Start Upload Translations of Categories, total batches: 1");
  EXPECT_EQ(log[2], "{}");
  EXPECT_EQ(log[5], "Finished Upload Translations of Categories");
  EXPECT_EQ(Rows("Select Category From Category Where Translate1 Is Not Null Or Translate2 Is Not Null Or "
                 "Translate3 Is Not Null").RecordCount(),
            0);
}

// The column a new translation's id goes to is the first translation slot
// whose setting names the entry's language.
TEST_F(CategoryTranslationTest, TheIdGoesToTheFirstSlotOfItsLanguage) {
  struct TCase {
    const char* Name;
    int Desc2, Desc3;
    std::string D1, D2;
    std::vector<std::string> Langs;  // of the entries sent
    std::string Translate1, Translate2;  // names of the shop categories the columns hold ("" for none)
  };
  const TCase cases[] = {
      {"second name only", 2, 3, "", "Zwei", {"zh-hant"}, "", "Zwei"},
      {"two names", 2, 3, "Eins", "Zwei", {"zh-hans", "zh-hant"}, "Eins", "Zwei"},
      // Both ids go to the first column; the later one stays there.
      {"two settings name one language", 2, 2, "Eins", "Zwei", {"zh-hans", "zh-hans"}, "Zwei", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    AdminPost("/standin/reset", "{}");
    SeedCategories(R"([{"id": 30, "name": "Wine", "parent": 0, "lang": "en"}])");
    Exec("Delete From Category;");
    Category({.Code = "WINE", .Description = "Wine", .D1 = c.D1, .D2 = c.D2, .WooID = "30"});
    Config.Desc2 = c.Desc2;
    Config.Desc3 = c.Desc3;
    SetConfig(Config);

    UploadTranslationsOfCatgories(Woo);
    const std::vector<std::string> sent = CategoryRequests();
    ASSERT_EQ(sent.size(), 1u);
    rapidjson::Document request;
    request.Parse(sent[0].c_str());
    std::vector<std::string> langs;
    for (const auto& entry : request["create"].GetArray()) langs.push_back(entry["lang"].GetString());
    EXPECT_EQ(langs, c.Langs);
    EXPECT_EQ(ShopName(Column("WINE", "Translate1")), c.Translate1);
    EXPECT_EQ(ShopName(Column("WINE", "Translate2")), c.Translate2);
  }
}

}  // namespace
}  // namespace ooa::test
