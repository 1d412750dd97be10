// TDatabaseModule::GetTranslationsOfCategories: the shop translations of
// groups and categories that are still missing, as create entries.
#include "config/ActivityLog.h"
#include "db/DatabaseModule.h"
#include "db/catalog/CategoryRow.h"

namespace ooa {

TBatchList TDatabaseModule::GetTranslationsOfCategories() {
  LogLine("Getting Need to Upload Translations of Categories...");
  const std::string sql =
      std::string(kCategorySelect) +
      " WHERE c.OnlineSales = 1 And c.WooID <> '' And c.WooID IS NOT NULL And ((c.Description1 <> '' And "
      "c.Description1 IS NOT NULL And (c.Translate1 IS NULL Or c.Translate1 = '')) Or (c.Description2 <> '' And "
      "c.Description2 IS NOT NULL And (c.Translate2 IS NULL Or c.Translate2 = '')) Or (c.Description3 <> '' And "
      "c.Description3 IS NOT NULL And (c.Translate3 IS NULL Or c.Translate3 = '')))";
  OpenQuery(sql);
  const TRecordSet rows = Query();

  TBatchList list;
  if (rows.RecordCount() == 0) {
    LogLine(" |- No new data.");
    return list;
  }
  const TConfig config = ConfigSnapshot();
  auto& a = list.Allocator();
  for (int i = 0; i < rows.RecordCount(); ++i) {
    const TCategoryRow row = ReadCategoryRow(rows, i);
    list.BeginRow();
    for (int n = 1; n <= 3; ++n) {
      // A grouped category waits until its group has the translation in this language.
      if (!row.Translates[n - 1].empty() || row.Descriptions[n - 1].empty()) continue;
      if (row.HasGroup && row.ParentTrans[n - 1].empty()) continue;
      rapidjson::Value entry = CategoryTranslationEntry(row, n, config, a);
      list.AddCreate(entry);
    }
  }
  list.Finish();
  return list;
}

}  // namespace ooa
