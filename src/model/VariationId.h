// One price level's shop variation id as a variation request answered it, for
// the product's own write-back (db/catalog/ShopIds.h). Filled by the product
// upload's variation request (sync/catalog/) on the catalogue worker thread; a
// plain value.
#pragma once

#include <string>

namespace ooa {

struct TVariationId {
  int Level = 0;       // 1..6: the column WooVarID<Level>
  std::string WooId;   // the shop's id; empty: the level's id is emptied (deleted in the shop)
};

}  // namespace ooa
