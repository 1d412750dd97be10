// GetCategoryTranslationRows: groups and categories whose
// shop translations are still missing.
#include "db/catalog/CatalogReads.h"

#include "db/DatabaseModule.h"
#include "db/catalog/CategoryRow.h"

namespace ooa {

std::vector<TCategoryRow> GetCategoryTranslationRows(TDatabaseModule& db) {
  const std::string sql =
      std::string(kCategorySelect) +
      " WHERE c.OnlineSales = 1 And c.WooID <> '' And c.WooID IS NOT NULL And ((c.Description1 <> '' And "
      "c.Description1 IS NOT NULL And (c.Translate1 IS NULL Or c.Translate1 = '')) Or (c.Description2 <> '' And "
      "c.Description2 IS NOT NULL And (c.Translate2 IS NULL Or c.Translate2 = '')) Or (c.Description3 <> '' And "
      "c.Description3 IS NOT NULL And (c.Translate3 IS NULL Or c.Translate3 = '')))";
  const TRecordSet rows = db.SelectRows(sql);
  std::vector<TCategoryRow> out;
  out.reserve(rows.RecordCount());
  for (int i = 0; i < rows.RecordCount(); ++i) out.push_back(ReadCategoryRow(rows, i));
  return out;
}

}  // namespace ooa
