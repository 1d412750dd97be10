// TDatabaseModule::GetCategories: category groups or categories to send to the
// shop, as a batch list.
#include "config/ActivityLog.h"
#include "db/DatabaseModule.h"
#include "db/catalog/CategoryRow.h"

namespace ooa {

TBatchList TDatabaseModule::GetCategories(bool IsGroup) {
  LogLine(IsGroup ? "Getting Need to Upload Category Groups..." : "Getting Need to Upload Categories...");
  std::string sql = std::string(kCategorySelect) +
                    " WHERE (c.OnlineSales = 1 Or (c.OnlineSales = 0 And (c.WooID <> '' And c.WooID IS NOT NULL))) "
                    "And (c.LastSyncedAt < c.LastUpdatedAt Or c.LastSyncedAt Is Null)";
  if (IsGroup) {
    sql += " And c.IsGroup = 1";
  } else {
    sql += " And c.IsGroup <> 1";
    sql += " And (cg.Category IS NULL Or (cg.WooID <> ";
    sql += "''";
    sql += " Or cg.WooID Is Not Null))";
  }
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
    if (row.OnlineSales) {
      rapidjson::Value entry = CategoryEntry(row, config, a);
      if (row.WooID.empty()) {
        list.AddCreate(entry);
        continue;
      }
      AddText(entry, "id", row.WooID, a);
      list.AddUpdate(entry);
      for (int n = 1; n <= 3; ++n) {
        if (row.Translates[n - 1].empty() || row.Descriptions[n - 1].empty()) continue;
        rapidjson::Value translation = CategoryTranslationEntry(row, n, config, a);
        AddText(translation, "id", row.Translates[n - 1], a);
        list.AddUpdate(translation);
      }
    } else {
      list.AddDelete(row.WooID);
      for (const std::string& id : row.Translates) {
        if (!id.empty()) list.AddDelete(id);
      }
    }
  }
  list.Finish();
  return list;
}

}  // namespace ooa
