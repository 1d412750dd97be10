// Product, translation and variation entries of the product upload.
#include "shop/woo/ProductEntry.h"

#include "shop/woo/StockQuantity.h"

namespace ooa {
namespace {

rapidjson::Value IdObject(const std::string& id, TJsonAllocator& a) {
  rapidjson::Value object(rapidjson::kObjectType);
  AddText(object, "id", id, a);
  return object;
}

rapidjson::Value OneElement(rapidjson::Value value, TJsonAllocator& a) {
  rapidjson::Value array(rapidjson::kArrayType);
  array.PushBack(value, a);
  return array;
}

// Removes the member and appends it again with the new value; the other
// members keep their order (RemoveMember would move the last one into the gap).
void Replace(rapidjson::Value& entry, const char* name, rapidjson::Value value, TJsonAllocator& a) {
  if (auto it = entry.FindMember(name); it != entry.MemberEnd()) entry.EraseMember(it);
  entry.AddMember(rapidjson::Value(name, a), value, a);
}

void AddStock(rapidjson::Value& entry, long long quantity, bool inStock, TJsonAllocator& a) {
  entry.AddMember("stock_quantity", rapidjson::Value(static_cast<int64_t>(quantity)), a);
  AddText(entry, "stock_status", inStock ? "instock" : "outofstock", a);
}

}  // namespace

int DefaultPriceLevel(long long defaultSalesPrice) {
  if (defaultSalesPrice == -1) return 1;
  if (defaultSalesPrice < 0 || defaultSalesPrice > 5) return 0;
  return static_cast<int>(defaultSalesPrice) + 1;
}

double LevelPrice(const TProductRow& row, int level) {
  const double factor = row.GSTStatus ? 1 + row.GSTRate / 100 : 1;
  const double online = row.OnlinePrices[level - 1] * factor;
  return online != 0 ? online : row.SalesPrices[level - 1] * factor;
}

long long LevelStockQuantity(const TProductRow& row, int level) {
  if (row.Stock <= 0) return 0;
  double divisor = row.MeasureQty < 0.9999 ? 1 : row.Deducts[level - 1] / row.MeasureQty;
  if (divisor == 0) divisor = 1;
  return FloorQuantity(row.Stock / divisor);
}

std::string VariationSku(const std::string& productCode, int level) {
  return productCode + "-PK" + std::to_string(level);
}

rapidjson::Value ProductEntry(const TProductRow& row, int level, bool live, const std::vector<std::string>& options,
                              const TConfig& config, TJsonAllocator& a) {
  rapidjson::Value entry(rapidjson::kObjectType);
  const bool draft = live ? (row.OpenPrice || row.Scalable) : true;
  AddText(entry, "status", draft ? "draft" : "publish", a);
  entry.AddMember("categories", OneElement(IdObject(row.WooCateID, a), a), a);
  AddText(entry, "name", row.Description, a);
  AddText(entry, "lang", LanguageCodeOf(config.Desc1), a);
  AddText(entry, "sku", row.ProductCode, a);
  rapidjson::Value barcode(rapidjson::kObjectType);
  AddText(barcode, "key", "barcode", a);
  AddText(barcode, "value", row.BarCode.empty() ? row.ProductCode : row.BarCode, a);
  entry.AddMember("meta_data", OneElement(std::move(barcode), a), a);
  AddText(entry, "raw_product_code", row.ProductCode, a);
  AddText(entry, "tax_class", row.GSTRate == 0 ? "zero_rate" : "standard", a);
  entry.AddMember("manage_stock", row.StockControl, a);
  if (!row.StockControl) {
    AddStock(entry, 0, true, a);
  } else {
    AddStock(entry, LevelStockQuantity(row, level), row.Stock > 0, a);
  }
  entry.AddMember("regular_price", LevelPrice(row, level), a);

  rapidjson::Value attributes(rapidjson::kArrayType), defaults(rapidjson::kArrayType);
  if (!options.empty()) {
    rapidjson::Value attribute(rapidjson::kObjectType);
    AddText(attribute, "name", "Variations", a);
    attribute.AddMember("visible", true, a);
    attribute.AddMember("variation", true, a);
    rapidjson::Value optionTexts(rapidjson::kArrayType);
    for (const std::string& option : options) optionTexts.PushBack(rapidjson::Value(option, a), a);
    attribute.AddMember("options", optionTexts, a);
    attributes.PushBack(attribute, a);
    rapidjson::Value preset(rapidjson::kObjectType);
    AddText(preset, "name", "Variations", a);
    AddText(preset, "option", options.front(), a);
    defaults.PushBack(preset, a);
  }
  AddText(entry, "type", options.empty() ? "simple" : "variable", a);
  entry.AddMember("attributes", attributes, a);
  entry.AddMember("default_attributes", defaults, a);
  if (!row.WooID.empty()) AddText(entry, "id", row.WooID, a);
  return entry;
}

rapidjson::Value TranslationEntry(const rapidjson::Value& productEntry, const TProductRow& row, int n,
                                  const TConfig& config, TJsonAllocator& a) {
  rapidjson::Value entry(productEntry, a);
  Replace(entry, "name", rapidjson::Value(row.Descriptions[n - 1], a), a);
  if (auto it = entry.FindMember("sku"); it != entry.MemberEnd()) entry.EraseMember(it);
  const int setting = n == 1 ? config.Desc2 : n == 2 ? config.Desc3 : config.Desc4;
  Replace(entry, "lang", rapidjson::Value(LanguageCodeOf(setting), a), a);
  if (!row.WooCateTrans[n - 1].empty())
    Replace(entry, "categories", OneElement(IdObject(row.WooCateTrans[n - 1], a), a), a);
  if (!row.WooID.empty()) AddText(entry, "translation_of", row.WooID, a);
  if (!row.Translates[n - 1].empty()) Replace(entry, "id", rapidjson::Value(row.Translates[n - 1], a), a);
  return entry;
}

TVariationBatch VariationBatch(const TProductRow& row, std::vector<std::string>& options, TJsonAllocator& a) {
  rapidjson::Value create(rapidjson::kArrayType), update(rapidjson::kArrayType), remove(rapidjson::kArrayType);
  TVariationBatch batch;
  for (int level = 1; level <= 6; ++level) {
    const std::string& sub = row.SubDescriptions[level - 1];
    const std::string& varId = row.WooVarIDs[level - 1];
    if (sub.empty()) {
      if (!varId.empty()) {
        remove.PushBack(rapidjson::Value(varId, a), a);
        batch.DeleteLevels.push_back(level);
      }
      continue;
    }
    options.push_back(sub);
    rapidjson::Value entry(rapidjson::kObjectType);
    AddText(entry, "sku", VariationSku(row.ProductCode, level), a);
    entry.AddMember("manage_stock", row.StockControl, a);
    AddStock(entry, LevelStockQuantity(row, level), row.Stock > 0, a);
    entry.AddMember("regular_price", LevelPrice(row, level), a);
    rapidjson::Value attribute(rapidjson::kObjectType);
    AddText(attribute, "name", "Variations", a);
    AddText(attribute, "option", sub, a);
    entry.AddMember("attributes", OneElement(std::move(attribute), a), a);
    if (varId.empty()) {
      create.PushBack(entry, a);
    } else {
      AddText(entry, "id", varId, a);
      update.PushBack(entry, a);
    }
  }
  rapidjson::Value object(rapidjson::kObjectType);
  if (!create.Empty()) object.AddMember("create", create, a);
  if (!update.Empty()) object.AddMember("update", update, a);
  if (!remove.Empty()) object.AddMember("delete", remove, a);
  if (object.MemberCount() > 0) batch.Json = RequestJsonText(object);
  return batch;
}

}  // namespace ooa
