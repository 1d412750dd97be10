// The JSON entries the product upload sends, built from one product row: the
// product itself, its translated copies and its price-level variations, with
// the price and stock rules they share. Pure functions over a TProductRow and
// the settings; the product batch builder (GetProducts) calls them on the
// catalogue worker thread. Money goes in as JSON doubles, which
// RequestJsonText writes as "%6.2f" tokens.
#pragma once

#include <string>
#include <vector>

#include "config/Config.h"
#include "model/ProductRow.h"
#include "shop/woo/BatchList.h"
#include "shop/woo/ProductBatches.h"

namespace ooa {

// The price level the product's own price and stock use: DefaultSalesPrice + 1,
// and level 1 for -1. 0 when the value names no level (the POS allows 1..6).
int DefaultPriceLevel(long long defaultSalesPrice);

// The shop price of a level: its online price when that is not 0, else its
// sales price, with GST added when the POS price excludes it (GSTStatus).
double LevelPrice(const TProductRow& row, int level);

// Stock in units of a level: 0 when the stock is 0 or below; else the floor of
// stock / d, where d is 1 for products measured below 0.9999 and otherwise the
// level's deduct quantity / MeasureQty (a d of 0 counts as 1).
long long LevelStockQuantity(const TProductRow& row, int level);

// The product entry ("status" ... "default_attributes", and "id" when the
// product is in the shop). options: the non-empty sub-descriptions (for a
// variable product) in level order; empty makes a simple product.
rapidjson::Value ProductEntry(const TProductRow& row, int level, bool live, const std::vector<std::string>& options,
                              const TConfig& config, TJsonAllocator& alloc);

// Translation n (1..3) of a finished product entry: the translated name and
// language, no "sku", the translated category when it exists, "translation_of"
// the product's shop id when it has one, and "id" Translate n when set.
rapidjson::Value TranslationEntry(const rapidjson::Value& productEntry, const TProductRow& row, int n,
                                  const TConfig& config, TJsonAllocator& alloc);

// The variation batch of a variable product: a create or update per level
// with a sub-description, a delete for a level whose sub-description was
// cleared while it still has a WooVarID; its Json is empty when it has no
// entry. options receives the sub-descriptions.
TVariationBatch VariationBatch(const TProductRow& row, std::vector<std::string>& options, TJsonAllocator& alloc);

// The text of a variation's SKU for a level: ProductCode + "-PK" + level.
std::string VariationSku(const std::string& productCode, int level);

}  // namespace ooa
