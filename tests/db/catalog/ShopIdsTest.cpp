// The catalogue uploads' write-back statements: for a table of typed calls, the
// exact SQL text the uploads have always sent (column order, literals, spacing),
// so moving them behind typed calls changed no byte.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/catalog/ShopIds.h"

namespace ooa {
namespace {

const TDateTime T = TDateTime::FromCivil(2026, 3, 4, 5, 6, 7);  // '03/04/2026 05:06:07'

struct TCase {
  const char* Name;
  std::string Sql, Expected;
};

TEST(ShopIdsTest, StatementsAreTheUploadsText) {
  const std::vector<TVariationId> vars{{1, "57"}, {3, ""}, {6, "O'9"}};
  const TCase cases[] = {
      {"category created", CategoryCreatedStatement("Fish 'n' Chips", "12", T),
       "Update Category Set WooID = N'12' , LastSyncedAt = '03/04/2026 05:06:07' Where Category = N'Fish ''n'' Chips';"},
      {"category created without a name", CategoryCreatedStatement("", "12", T),
       "Update Category Set WooID = N'12' , LastSyncedAt = '03/04/2026 05:06:07' Where Category = Null;"},
      {"category synced", CategorySyncedStatement("12", T),
       "Update Category Set LastSyncedAt = '03/04/2026 05:06:07' Where WooID = N'12';"},
      {"category deleted", CategoryDeletedStatement("12", T),
       "Update Category Set LastSyncedAt = '03/04/2026 05:06:07', WooID = '', Translate1 = '', Translate2 = '', "
       "Translate3 = '' Where WooID = N'12';"},
      {"category gone", CategoryGoneStatement("12", T),
       "Update Category Set LastSyncedAt = '03/04/2026 05:06:07', WooID = '', OnlineSales = 0 Where WooID = N'12';"},
      {"category translation", CategoryTranslationStatement("12", 2, "88"),
       "Update Category Set Translate2 = N'88' Where WooID = N'12';"},
      {"category translation of no original", CategoryTranslationStatement("", 3, "88"),
       "Update Category Set Translate3 = N'88' Where WooID = Null;"},
      {"product created, synced", ProductCreatedStatement("P1", "40", true, T, {}),
       "Update ProductExtend Set WooID = N'40', LastSyncedAt = '03/04/2026 05:06:07', LastStockSyncedAt = "
       "'03/04/2026 05:06:07' Where ProductCode = N'P1';"},
      {"product created, synced, variations", ProductCreatedStatement("P1", "40", true, T, vars),
       "Update ProductExtend Set WooID = N'40', LastSyncedAt = '03/04/2026 05:06:07', LastStockSyncedAt = "
       "'03/04/2026 05:06:07',WooVarID1=N'57', WooVarID3='', WooVarID6=N'O''9' Where ProductCode = N'P1';"},
      {"product created, pending", ProductCreatedStatement("P1", "40", false, T, {}),
       "Update ProductExtend Set WooID = N'40' Where ProductCode = N'P1';"},
      {"product created, pending, variations", ProductCreatedStatement("P1", "40", false, T, {{2, "5"}}),
       "Update ProductExtend Set WooID = N'40',WooVarID2=N'5' Where ProductCode = N'P1';"},
      {"product updated, synced", ProductUpdatedStatement("40", true, T, {}),
       "Update ProductExtend Set LastSyncedAt = '03/04/2026 05:06:07', LastStockSyncedAt = '03/04/2026 05:06:07' "
       "Where WooID = N'40';"},
      {"product updated, synced, variations", ProductUpdatedStatement("40", true, T, {{2, "5"}, {4, ""}}),
       "Update ProductExtend Set LastSyncedAt = '03/04/2026 05:06:07', LastStockSyncedAt = "
       "'03/04/2026 05:06:07',WooVarID2=N'5', WooVarID4='' Where WooID = N'40';"},
      {"product updated, pending, variations", ProductUpdatedStatement("40", false, T, {{2, "5"}, {4, ""}}),
       "Update ProductExtend Set WooVarID2=N'5', WooVarID4='' Where WooID = N'40';"},
      {"product updated, pending, nothing", ProductUpdatedStatement("40", false, T, {}), ""},
      {"product deleted", ProductDeletedStatement("40", T),
       "Update ProductExtend Set LastSyncedAt = '03/04/2026 05:06:07', LastStockSyncedAt = '03/04/2026 05:06:07', "
       "WooID = '', WooVarID1 = '', WooVarID2 = '', WooVarID3 = '', WooVarID4 = '', WooVarID5 = '', WooVarID6 = '' "
       "Where WooID = N'40';"},
      {"product translation", ProductTranslationStatement("P'1", 1, "41"),
       "Update ProductExtend Set Translate1 = N'41' Where ProductCode = N'P''1';"},
      {"stock synced", StockSyncedStatement("40", T),
       "Update ProductExtend Set LastStockSyncedAt = '03/04/2026 05:06:07' Where WooID = N'40';"},
      {"product gone", ForgetShopProductSql("40"),
       "Update ProductExtend Set WooID = '', WooVarID1 = '', WooVarID2 = '', WooVarID3 = '', WooVarID4 = '', "
       "WooVarID5 = '', WooVarID6 = '', Translate1 = '', Translate2 = '', Translate3 = '', LastSyncedAt = Null "
       "Where WooID = N'40';"},
  };
  for (const TCase& c : cases) EXPECT_EQ(c.Sql, c.Expected) << c.Name;
}

TEST(ShopIdsTest, StatementListsCoverEveryColumn) {
  const std::vector<std::string> translations = ProductTranslationDeletedStatements("41");
  ASSERT_EQ(translations.size(), 3u);
  EXPECT_EQ(translations[0], "Update ProductExtend Set Translate1 = '' Where Translate1 = N'41';");
  EXPECT_EQ(translations[2], "Update ProductExtend Set Translate3 = '' Where Translate3 = N'41';");

  const std::vector<std::string> variations = ForgetShopVariationSql("40", "57");
  ASSERT_EQ(variations.size(), 6u);
  EXPECT_EQ(variations[0],
            "Update ProductExtend Set WooVarID1 = '', LastSyncedAt = Null Where WooID = N'40' And WooVarID1 = N'57';");
  EXPECT_EQ(variations[5],
            "Update ProductExtend Set WooVarID6 = '', LastSyncedAt = Null Where WooID = N'40' And WooVarID6 = N'57';");
  EXPECT_TRUE(ForgetShopVariationSql("", "57").empty());
  EXPECT_TRUE(ForgetShopVariationSql("40", "").empty());
}

}  // namespace
}  // namespace ooa
