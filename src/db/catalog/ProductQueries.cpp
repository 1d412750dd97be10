// GetProductRows: the products that changed since their last
// sync, in pieces.
#include "db/catalog/CatalogReads.h"

#include "db/DatabaseModule.h"
#include "db/catalog/ProductRow.h"

namespace ooa {

const char* const kProductQuery =
    "Select p.*, pe.*, pe.ProductCode as ExtendProductCode, c.WooID as WooCateID, c.Translate1 as WooCateTrans1, "
    "c.Translate2 as WooCateTrans2, c.Translate3 as WooCateTrans3 From Product p Left Join ProductExtend pe ON "
    "p.ProductCode = pe.ProductCode Left Join Category c ON p.Category = c.Category Where (p.OnlineOrderItem = 1 "
    "Or (p.OnlineOrderItem = 0 And (pe.WooId <> '' And pe.WooID IS NOT NULL))) And (pe.LastSyncedAt < "
    "p.ModifyDate or pe.LastSyncedAt IS NULL) And c.WooID Is Not Null And c.WooID <> ''";

void GetProductRows(TDatabaseModule& db, const std::string& warehouseCode, const TProductRowsPiece& piece) {
  db.OpenQueryInPieces(kProductQuery, kRowsAtATime, [&](const TRecordSet& rows) {
    if (rows.RecordCount() == 0) return;
    const TProductColumns columns(rows, warehouseCode);
    std::vector<TProductRow> out;
    out.reserve(rows.RecordCount());
    for (int i = 0; i < rows.RecordCount(); ++i) out.push_back(columns.Read(i));
    piece(out);
  });
}

}  // namespace ooa
