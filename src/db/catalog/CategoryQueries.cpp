// GetCategoryRows: the category groups or categories to send
// to the shop.
#include "db/catalog/CatalogReads.h"

#include "db/DatabaseModule.h"
#include "db/catalog/CategoryRow.h"

namespace ooa {

std::vector<TCategoryRow> GetCategoryRows(TDatabaseModule& db, bool IsGroup) {
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
  const TRecordSet rows = db.SelectRows(sql);
  std::vector<TCategoryRow> out;
  out.reserve(rows.RecordCount());
  for (int i = 0; i < rows.RecordCount(); ++i) out.push_back(ReadCategoryRow(rows, i));
  return out;
}

}  // namespace ooa
