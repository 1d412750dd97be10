// The JSON entries the category uploads send, built from one category row.
// Pure functions over a TCategoryRow and the settings; the category batch
// builders (sync/catalog/CatalogueBatches.h) call them on the catalogue
// worker thread.
#pragma once

#include <string>

#include "config/Config.h"
#include "model/CategoryRow.h"
#include "shop/woo/BatchList.h"

namespace ooa {

// Shop language code of translation n (1..3): the settings Desc2..Desc4.
std::string TranslationLanguage(const TConfig& config, int n);

// {"name", "raw_name", "lang", "parent"?}: the category in the main language.
rapidjson::Value CategoryEntry(const TCategoryRow& row, const TConfig& config, TJsonAllocator& alloc);
// {"name", "lang", "translation_of", "parent"?}: translation n (1..3) of the
// category; the update form adds "id" itself.
rapidjson::Value CategoryTranslationEntry(const TCategoryRow& row, int n, const TConfig& config,
                                          TJsonAllocator& alloc);

}  // namespace ooa
