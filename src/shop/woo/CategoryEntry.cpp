// The JSON entries of the category uploads.
#include "shop/woo/CategoryEntry.h"

namespace ooa {

std::string TranslationLanguage(const TConfig& config, int n) {
  const int setting = n == 1 ? config.Desc2 : n == 2 ? config.Desc3 : config.Desc4;
  return LanguageCodeOf(setting);
}

rapidjson::Value CategoryEntry(const TCategoryRow& row, const TConfig& config, TJsonAllocator& alloc) {
  rapidjson::Value entry(rapidjson::kObjectType);
  AddText(entry, "name", row.Description.empty() ? row.Category : row.Description, alloc);
  AddText(entry, "raw_name", row.Category, alloc);
  AddText(entry, "lang", LanguageCodeOf(config.Desc1), alloc);
  if (row.HasGroup) AddText(entry, "parent", row.ParentWooID, alloc);
  return entry;
}

rapidjson::Value CategoryTranslationEntry(const TCategoryRow& row, int n, const TConfig& config,
                                          TJsonAllocator& alloc) {
  rapidjson::Value entry(rapidjson::kObjectType);
  AddText(entry, "name", row.Descriptions[n - 1], alloc);
  AddText(entry, "lang", TranslationLanguage(config, n), alloc);
  AddText(entry, "translation_of", row.WooID, alloc);
  if (row.HasGroup) AddText(entry, "parent", row.ParentTrans[n - 1], alloc);
  return entry;
}

}  // namespace ooa
