// Category and category group upload against the stand-in shop and an
// embedded POS database: which rows are selected, the entries sent for each
// category state, what the answers write back, and the debug log of a run.
#include <string>
#include <vector>

#include "sync/catalog/CatalogFixture.h"
#include "sync/catalog/CatalogueUploads.h"

namespace ooa::test {
namespace {

class CategoryUploadTest : public TCatalogTest {};

// One run over categories in every state the query and the row rules tell
// apart; the request is compared as sent, members in order.
TEST_F(CategoryUploadTest, EntriesForEachCategoryStateAndTheirWriteBack) {
  SeedCategories(R"([
      {"id": 20, "name": "Drinks", "parent": 0, "lang": "en"},
      {"id": 21, "name": "Drinks zh-hans", "parent": 0, "lang": "zh-hans", "translation_of": "20"},
      {"id": 22, "name": "Drinks zh-hant", "parent": 0, "lang": "zh-hant", "translation_of": "20"},
      {"id": 31, "name": "Wine", "parent": 20, "lang": "en"},
      {"id": 33, "name": "old", "parent": 22, "lang": "zh-hant", "translation_of": "31"},
      {"id": 34, "name": "old", "parent": 0, "lang": "", "translation_of": "31"},
      {"id": 41, "name": "Tobacco", "parent": 0, "lang": "en"},
      {"id": 42, "name": "Tobacco zh-hans", "parent": 0, "lang": "zh-hans", "translation_of": "41"},
      {"id": 44, "name": "Tobacco other", "parent": 0, "lang": "", "translation_of": "41"}])");
  Category({.Code = "DRINKS", .IsGroup = true, .Description = "Drinks", .WooID = "20", .T1 = "21", .T2 = "22"});
  Category({.Code = "NEWGRP", .IsGroup = true, .Description = "New group"});  // WooID null
  Category({.Code = "OLDGRP", .IsGroup = true, .Online = false, .Description = "Old group"});
  Exec("Update Category Set WooID = '' Where Category = N'OLDGRP';");  // deleted from the shop
  Category({.Code = "BAGS"});                                                  // no description, no group
  Category({.Code = "GONE", .Online = false, .WooID = "41", .T1 = "42", .T3 = "44"});
  Category({.Code = "LOOSE", .Group = "OLDGRP", .Description = "Loose"});    // group without shop id
  Category({.Code = "ORPHAN", .Group = "NOSUCH", .Description = "Orphan"});  // group row missing
  Category({.Code = "SNACKS", .Group = "NEWGRP", .Description = "Snacks"});  // waits for its group
  Category({.Code = "WINE", .Group = "DRINKS", .Description = "Wine", .D1 = "", .D2 = "Vin", .D3 = "Wein",
            .WooID = "31", .T1 = "32", .T2 = "33", .T3 = "34"});
  Exec("Update Category Set LastSyncedAt = LastUpdatedAt Where IsGroup = 1;");

  UploadCatgories(Woo, false);

  const std::vector<std::string> sent = CategoryRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0],
            R"({"create":[)"
            R"({"name":"BAGS","raw_name":"BAGS","lang":"en"},)"
            R"({"name":"Loose","raw_name":"LOOSE","lang":"en","parent":""},)"
            R"({"name":"Orphan","raw_name":"ORPHAN","lang":"en","parent":""}],)"
            R"("update":[)"
            R"({"name":"Wine","raw_name":"WINE","lang":"en","parent":"20","id":"31"},)"
            R"({"name":"Vin","lang":"zh-hant","translation_of":"31","parent":"22","id":"33"},)"
            R"({"name":"Wein","lang":"","translation_of":"31","parent":"","id":"34"}],)"
            R"("delete":["41","42","44"]})");

  struct TRowAfter {
    const char* Code;
    bool WooIdSet;
    const char* Synced;
    const char* Translates;  // Translate1..3 joined by '|'
  };
  const TRowAfter after[] = {
      {"BAGS", true, kUploadTimeText, "||"},
      {"LOOSE", true, kUploadTimeText, "||"},
      {"ORPHAN", true, kUploadTimeText, "||"},
      {"SNACKS", false, "", "||"},
      {"WINE", true, kUploadTimeText, "32|33|34"},
      // Deleted: its translations went with it, so their ids are emptied too.
      {"GONE", false, kUploadTimeText, "||"},
  };
  for (const TRowAfter& row : after) {
    SCOPED_TRACE(row.Code);
    EXPECT_EQ(!Column(row.Code, "WooID").empty(), row.WooIdSet);
    EXPECT_EQ(Column(row.Code, "LastSyncedAt"), row.Synced);
    EXPECT_EQ(Column(row.Code, "Translate1") + "|" + Column(row.Code, "Translate2") + "|" +
                  Column(row.Code, "Translate3"),
              row.Translates);
  }
  EXPECT_EQ(Column("WINE", "WooID"), "31");
  EXPECT_EQ(Column("GONE", "OnlineSales"), "0");
}

// Groups follow the same rules; a group that names a group of its own gets
// that group's id as "parent".
TEST_F(CategoryUploadTest, GroupsRunAloneAndANestedGroupNamesItsParent) {
  Category({.Code = "TOP", .IsGroup = true, .Description = "Top", .WooID = "20"});
  Exec("Update Category Set LastSyncedAt = LastUpdatedAt Where Category = N'TOP';");
  Category({.Code = "SUB", .Group = "TOP", .IsGroup = true, .Description = "Sub"});
  Category({.Code = "LEAF", .Description = "Leaf"});
  SeedCategories(R"([{"id": 20, "name": "Top", "parent": 0, "lang": "en"}])");

  UploadCatgories(Woo, true);
  const std::vector<std::string> sent = CategoryRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], R"({"create":[{"name":"Sub","raw_name":"SUB","lang":"en","parent":"20"}]})");
  EXPECT_EQ(Column("LEAF", "WooID"), "");
}

// An update the shop refuses: "invalid_taxonomy" (it no longer knows the id)
// takes the category offline; any other error writes nothing and the row goes
// again next time.
TEST_F(CategoryUploadTest, RefusedUpdates) {
  SeedCategories(R"([{"id": 35, "name": "Beer", "parent": 0, "lang": "en"}])");
  Category({.Code = "LOST", .Description = "Lost", .WooID = "31"});
  Category({.Code = "BADPARENT", .Group = "GRP", .Description = "Beer", .WooID = "35"});
  Category({.Code = "GRP", .IsGroup = true, .Description = "Group", .WooID = "999"});

  UploadCatgories(Woo, false);

  EXPECT_EQ(Column("LOST", "WooID"), "");
  EXPECT_EQ(Column("LOST", "OnlineSales"), "0");
  EXPECT_EQ(Column("LOST", "LastSyncedAt"), kUploadTimeText);
  EXPECT_EQ(Column("BADPARENT", "WooID"), "35");
  EXPECT_EQ(Column("BADPARENT", "LastSyncedAt"), "");

  ClearRequests();
  UploadCatgories(Woo, false);
  const std::vector<std::string> sent = CategoryRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], R"({"update":[{"name":"Beer","raw_name":"BADPARENT","lang":"en","parent":"999","id":"35"}]})");
}

TEST_F(CategoryUploadTest, DebugLogOfOneRun) {
  Category({.Code = "FRUIT", .Description = "Fruit"});
  UploadCatgories(Woo, false);

  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ(log[0], "Getting Need to Upload Categories...");
  EXPECT_EQ(log[1], "Start Upload Categories, total batches: 1");
  EXPECT_EQ(log[2], R"({"create":[{"name":"Fruit","raw_name":"FRUIT","lang":"en"}]})");
  EXPECT_EQ(log[3].rfind("URI: " + Shop.BaseUrl() + "/products/categories/batch Execution time: ", 0), 0u) << log[3];
  EXPECT_EQ(log[4], "products/categories/batch");
  EXPECT_EQ(log[5].rfind(R"({"create":[{"id":15,"name":"Fruit",)", 0), 0u) << log[5];
  EXPECT_EQ(log[6], "Finished Upload Categories");
  EXPECT_EQ(Rows("Select Category From Category Where WooID = N'15' And LastSyncedAt = '12/08/2026 23:41:48'")
                .RecordCount(),
            1);
}

}  // namespace
}  // namespace ooa::test
