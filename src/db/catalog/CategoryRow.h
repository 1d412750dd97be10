// One row of the category queries (groups and categories share the table
// Category; cg is the row's group) and the entries built from it. Used by the
// category and category translation queries of TDatabaseModule, on the
// catalogue worker thread.
#pragma once

#include <string>

#include "config/Config.h"
#include "db/session/DbSession.h"
#include "shop/woo/BatchList.h"

namespace ooa {

// The select list and joins both category queries start with.
extern const char* const kCategorySelect;

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

TCategoryRow ReadCategoryRow(const TRecordSet& rows, int row);

// Shop language code of translation n (1..3): the settings Desc2..Desc4.
std::string TranslationLanguage(const TConfig& config, int n);

// {"name", "raw_name", "lang", "parent"?}: the category in the main language.
rapidjson::Value CategoryEntry(const TCategoryRow& row, const TConfig& config, TJsonAllocator& alloc);
// {"name", "lang", "translation_of", "parent"?}: translation n (1..3) of the
// category; the update form adds "id" itself.
rapidjson::Value CategoryTranslationEntry(const TCategoryRow& row, int n, const TConfig& config,
                                          TJsonAllocator& alloc);

}  // namespace ooa
