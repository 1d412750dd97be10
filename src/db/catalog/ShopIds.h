// What the catalogue upload writes when the shop says one of our shop ids is
// unknown to it (the object was deleted in the shop): the id is forgotten and
// the product made pending (ProductExtend.LastSyncedAt = Null), so the next
// product pass creates the object again. Product.ModifyDate belongs to the POS
// and is never written. Statements only; the callers queue them
// (sync/catalog/BatchUpload.h) on the catalogue worker thread.
#pragma once

#include <string>
#include <vector>

namespace ooa {

// The product productId is gone: its WooID, its variation ids and its
// translations' ids (Translate1..3) are emptied, so it is created again as
// after any create, with its variations and translations.
std::string ForgetShopProductSql(const std::string& productId);

// The variation variationId of product productId is gone: the level column
// holding it is emptied. The caller may not know the level, so there is one
// statement per level column; only the one holding the id changes a row.
std::vector<std::string> ForgetShopVariationSql(const std::string& productId, const std::string& variationId);

}  // namespace ooa
