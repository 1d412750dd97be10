// Reading category rows.
#include "db/catalog/CategoryRow.h"

namespace ooa {

const char* const kCategorySelect =
    "Select c.Category, c.CategoryGroup, c.Description, c.Description1, c.Description2, c.Description3, c.WooID, "
    "cg.WooID as parentWooID, c.OnlineSales, c.Translate1, c.Translate2, c.Translate3,  cg.Translate1 As "
    "ParentTrans1, cg.Translate2 As ParentTrans2, cg.Translate3 As ParentTrans3 From Category c LEFT JOIN "
    "Category cg On c.CategoryGroup = cg.Category";

TCategoryRow ReadCategoryRow(const TRecordSet& rows, int row) {
  TCategoryRow r;
  r.Category = rows.Field(row, "Category").AsString();
  r.HasGroup = !rows.Field(row, "CategoryGroup").IsNull();
  r.Description = rows.Field(row, "Description").AsString();
  r.WooID = rows.Field(row, "WooID").AsString();
  r.ParentWooID = rows.Field(row, "parentWooID").AsString();
  r.OnlineSales = rows.Field(row, "OnlineSales").AsBoolean();
  for (int n = 1; n <= 3; ++n) {
    const std::string digit = std::to_string(n);
    r.Descriptions[n - 1] = rows.Field(row, "Description" + digit).AsString();
    r.Translates[n - 1] = rows.Field(row, "Translate" + digit).AsString();
    r.ParentTrans[n - 1] = rows.Field(row, "ParentTrans" + digit).AsString();
  }
  return r;
}

}  // namespace ooa
