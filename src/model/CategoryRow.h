// One category (or category group) of the category queries as the catalogue
// uploads use it: groups and categories share the table Category, and the
// Parent* values are the row's group's. Read by the database side
// (db/catalog/CategoryRow.h), turned into shop entries by
// shop/woo/CategoryEntry.h; a plain value, any thread.
#pragma once

#include <string>

namespace ooa {

struct TCategoryRow {
  std::string Category;
  bool HasGroup = false;        // CategoryGroup is not null
  std::string Description;
  std::string Descriptions[3];  // Description1..3
  std::string WooID;
  std::string ParentWooID;      // the group's WooID ("" when the group row is missing)
  bool OnlineSales = false;
  std::string Translates[3];    // Translate1..3
  std::string ParentTrans[3];   // the group's Translate1..3
};

}  // namespace ooa
