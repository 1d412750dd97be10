// The batch lists of the catalogue uploads, built from the rows of the
// catalogue queries (db/catalog/CatalogReads.h) with the shop entries of
// shop/woo. Each logs "Getting Need to Upload ..." and runs its query (a
// database error is thrown); no rows: " |- No new data." and an empty list.
// Language codes and the warehouse come from ConfigSnapshot(). Called by the catalogue uploads
// on the catalogue worker thread; the caller owns what is returned.
#pragma once

#include "shop/woo/BatchList.h"
#include "shop/woo/ProductBatches.h"

namespace ooa {

class TDatabaseModule;

// Category groups (IsGroup) or categories (GetCategoryRows):
// an online one as "create" (not yet in the shop) or "update" with the
// updates of its translations that exist in the shop; a withdrawn one and
// its translations as "delete".
TBatchList GetCategories(TDatabaseModule& db, bool IsGroup);
// The missing translations of groups and categories, as "create" entries; a
// category's translation waits for its group's translation in the same
// language.
TBatchList GetTranslationsOfCategories(TDatabaseModule& db);
// Product entries ("create"/"update", translations whose copy exists as
// "update", withdrawn ones as "delete" with their translations), the
// variation batches of variable products and the translations to create
// after the product. A product without a ProductExtend row, or whose
// DefaultSalesPrice names no price level, is logged and not sent (it stays
// pending). The rows are turned into entry text piece by piece, so a big
// catalogue is never held as rows.
TProductBatches GetProducts(TDatabaseModule& db);
// Stock-only "update" entries of products in the shop whose stock changed,
// and the variation stock of variable products.
TStockBatches GetProductStockData(TDatabaseModule& db);

}  // namespace ooa
