// What the product and stock queries hand to the shop side: the batch list of
// "products/batch" plus the per-product follow-up requests keyed for quick
// lookup while the shop's answers are processed, each as the JSON text it is
// sent as (parsed again when its request goes out), so that a big catalogue
// holds no documents. Built by GetProducts and GetProductStockData
// (sync/catalog/CatalogueBatches.h) on the catalogue worker thread and owned
// by the upload routine that asked for it.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "shop/woo/BatchList.h"

namespace ooa {

// The variation batch object of one variable product ("create", "update",
// "delete" as in any batch object) and, for each id in its "delete" array at
// the same position, the price level (1..6) whose WooVarID column holds it, so
// a confirmed delete can empty that column.
struct TVariationBatch {
  std::string Json;  // RequestJsonText of the batch object
  std::vector<int> DeleteLevels;
};

struct TProductBatches {
  TBatchList List;
  // Product code -> the product's variation batch (only non-empty ones).
  std::unordered_map<std::string, TVariationBatch> Variations;
  // Product code -> JSON array (text) of translation entries whose shop copy
  // does not exist yet; created right after the shop created the product.
  std::unordered_map<std::string, std::string> Translations;
};

struct TStockBatches {
  TBatchList List;
  // Product shop id -> {"update": [variation stock entries]} (text) for
  // variable products with at least one variation in the shop.
  std::unordered_map<std::string, std::string> Variations;
};

}  // namespace ooa
