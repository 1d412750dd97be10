// The catalogue queries: the rows the catalogue pass sends to the shop. Each
// runs one query on db (a database error is thrown) and hands back its rows;
// the catalogue pass turns them into batch lists (sync/catalog/
// CatalogueBatches.h). The product and stock queries hand their rows over
// in pieces of at most kRowsAtATime (OpenQueryInPieces; a piece is never
// empty), so a big catalogue is never held as rows; warehouseCode names the
// stock column read (TDbError when the POS has no such column).
// Called on the catalogue worker thread; each query holds the module's lock
// while it talks to the session, and the rows belong to the caller.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/CategoryRow.h"
#include "model/ProductRow.h"

namespace ooa {

class TDatabaseModule;

// Category groups (IsGroup) or categories that changed since their last sync
// and are offered online, or withdrawn while still in the shop. A category
// whose group's WooID is null waits until the group run has written it.
std::vector<TCategoryRow> GetCategoryRows(TDatabaseModule& db, bool IsGroup);
// Groups and categories that are online and in the shop and miss a shop
// translation of a description they have.
std::vector<TCategoryRow> GetCategoryTranslationRows(TDatabaseModule& db);
using TProductRowsPiece = std::function<void(const std::vector<TProductRow>&)>;
// Products that changed since their last sync, offered online (or withdrawn
// while still in the shop) and whose category is in the shop.
void GetProductRows(TDatabaseModule& db, const std::string& warehouseCode, const TProductRowsPiece& piece);
// Products in the shop whose stock changed since their last stock sync.
void GetProductStockRows(TDatabaseModule& db, const std::string& warehouseCode, const TProductRowsPiece& piece);

}  // namespace ooa
