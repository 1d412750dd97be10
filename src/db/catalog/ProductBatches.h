// What the product and stock queries hand to the shop side: the batch list of
// "products/batch" plus the per-product follow-up requests keyed for quick
// lookup while the shop's answers are processed. Built by TDatabaseModule
// (GetProducts, GetProductStockData) on the catalogue worker thread and owned
// by the upload routine that asked for it. The JSON of the maps lives in the
// list's allocator, so the maps must not outlive the list (they travel together).
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include <rapidjson/document.h>

#include "db/catalog/BatchList.h"

namespace ooa {

// The variation batch object of one variable product ("create", "update",
// "delete" as in any batch object) and, for each id in its "delete" array at
// the same position, the price level (1..6) whose WooVarID column holds it, so
// a confirmed delete can empty that column.
struct TVariationBatch {
  rapidjson::Value Object;
  std::vector<int> DeleteLevels;
};

struct TProductBatches {
  TBatchList List;
  // Product code -> the product's variation batch (only non-empty ones).
  std::unordered_map<std::string, TVariationBatch> Variations;
  // Product code -> JSON array of translation entries whose shop copy does not
  // exist yet; created right after the shop created the product.
  std::unordered_map<std::string, rapidjson::Value> Translations;
};

struct TStockBatches {
  TBatchList List;
  // Product shop id -> {"update": [variation stock entries]} for variable
  // products with at least one variation in the shop.
  std::unordered_map<std::string, rapidjson::Value> Variations;
};

}  // namespace ooa
