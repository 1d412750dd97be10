// The stock members the catalogue upload sends for a product and for each of
// its price-level variations. Pure functions over numbers read from a product
// row; the stock batch builder (GetProductStockData) builds its JSON entries
// from them. Any thread.
#pragma once

#include <string>

#include "shop/woo/BatchList.h"

namespace ooa {

struct TStockFigure {
  long long Quantity = 0;  // "stock_quantity"
  bool InStock = false;    // "stock_status": "instock" / "outofstock"
};

// A product's stock in the shop: the floor of the stock when it is above 0
// (7.9 -> 7, in stock), else 0 and out of stock.
TStockFigure ProductStockFigure(double stock);

// A price level's variation stock: the floor of stock / deduct when the stock
// is above 0 and the level deducts a non-zero quantity per unit sold, else 0
// and out of stock.
TStockFigure VariationStockFigure(double stock, double deduct);

// The name of the column holding a level's deduct quantity: "DeductStockQty"
// for level 1, "DeductStockQty" + (level - 1) for levels 2 to 6.
std::string DeductColumnName(int level);

// Stock entries in the member order the shop upload uses:
// product: "stock_quantity", "stock_status", "id";
// variation: "id", "stock_quantity", "stock_status".
rapidjson::Value ProductStockEntry(const std::string& wooId, const TStockFigure& figure, TJsonAllocator& alloc);
rapidjson::Value VariationStockEntry(const std::string& varId, const TStockFigure& figure, TJsonAllocator& alloc);

}  // namespace ooa
