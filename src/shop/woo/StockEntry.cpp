#include "shop/woo/StockEntry.h"

#include "shop/woo/StockQuantity.h"

namespace ooa {

namespace {

void AddStockMembers(rapidjson::Value& entry, const TStockFigure& figure, TJsonAllocator& alloc) {
  entry.AddMember("stock_quantity", rapidjson::Value(static_cast<int64_t>(figure.Quantity)), alloc);
  AddText(entry, "stock_status", figure.InStock ? "instock" : "outofstock", alloc);
}

}  // namespace

TStockFigure ProductStockFigure(double stock) {
  TStockFigure f;
  if (stock > 0) {
    f.Quantity = FloorQuantity(stock);
    f.InStock = true;
  }
  return f;
}

TStockFigure VariationStockFigure(double stock, double deduct) {
  TStockFigure f;
  if (stock > 0 && deduct != 0) {
    f.Quantity = FloorQuantity(stock / deduct);
    f.InStock = true;
  }
  return f;
}

std::string DeductColumnName(int level) {
  if (level <= 1) return "DeductStockQty";
  return "DeductStockQty" + std::to_string(level - 1);
}

rapidjson::Value ProductStockEntry(const std::string& wooId, const TStockFigure& figure, TJsonAllocator& alloc) {
  rapidjson::Value entry(rapidjson::kObjectType);
  AddStockMembers(entry, figure, alloc);
  AddText(entry, "id", wooId, alloc);
  return entry;
}

rapidjson::Value VariationStockEntry(const std::string& varId, const TStockFigure& figure, TJsonAllocator& alloc) {
  rapidjson::Value entry(rapidjson::kObjectType);
  AddText(entry, "id", varId, alloc);
  AddStockMembers(entry, figure, alloc);
  return entry;
}

}  // namespace ooa
