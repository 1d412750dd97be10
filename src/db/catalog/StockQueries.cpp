// GetProductStockRows: the products in the shop whose stock
// changed since their last stock sync, in pieces.
#include "db/catalog/CatalogReads.h"

#include "db/DatabaseModule.h"
#include "db/catalog/ProductRow.h"

namespace ooa {

void GetProductStockRows(TDatabaseModule& db, const std::string& warehouseCode, const TProductRowsPiece& piece) {
  db.OpenQueryInPieces(
      "Select p.*, pe.* From Product p Left Join ProductExtend pe ON p.ProductCode = pe.ProductCode Where "
      "(p.OnlineOrderItem = 1 And pe.WooId <> '' And pe.WooID IS NOT NULL) And (pe.LastStockSyncedAt < "
      "pe.LastStockUpdatedAt or pe.LastStockSyncedAt IS NULL)",
      kRowsAtATime, [&](const TRecordSet& rows) {
        if (rows.RecordCount() == 0) return;
        const TProductColumns columns(rows, warehouseCode);
        std::vector<TProductRow> out;
        out.reserve(rows.RecordCount());
        for (int i = 0; i < rows.RecordCount(); ++i) out.push_back(columns.Read(i));
        piece(out);
      });
}

}  // namespace ooa
