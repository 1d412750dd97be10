// TDatabaseModule::GetProductStockData: products in the shop whose stock
// changed since their last stock sync, as stock updates, with the stock of
// their price-level variations keyed by the product's shop id.
#include "config/ActivityLog.h"
#include "db/DatabaseModule.h"
#include "db/catalog/ProductRow.h"
#include "shop/woo/StockEntry.h"

namespace ooa {

TStockBatches TDatabaseModule::GetProductStockData() {
  LogLine("Getting Need to Upload Product Stock Data...");
  TStockBatches out;
  TBatchList& list = out.List;
  const std::string warehouse = ConfigSnapshot().WarehouseCode;
  bool any = false;
  OpenQueryInPieces(
      "Select p.*, pe.* From Product p Left Join ProductExtend pe ON p.ProductCode = pe.ProductCode Where "
      "(p.OnlineOrderItem = 1 And pe.WooId <> '' And pe.WooID IS NOT NULL) And (pe.LastStockSyncedAt < "
      "pe.LastStockUpdatedAt or pe.LastStockSyncedAt IS NULL)",
      kRowsAtATime, [&](const TRecordSet& rows) {
        if (rows.RecordCount() == 0) return;
        any = true;
        const TProductColumns columns(rows, warehouse);
        auto& a = list.Allocator();
        for (int i = 0; i < rows.RecordCount(); ++i) {
          const TProductRow row = columns.Read(i);
          list.BeginRow();
          rapidjson::Value entry = ProductStockEntry(row.WooID, ProductStockFigure(row.Stock), a);
          list.AddUpdate(entry);
          if (!row.MultiplePrice) continue;
          rapidjson::Value levels(rapidjson::kArrayType);
          for (int level = 1; level <= 6; ++level) {
            const std::string& varId = row.WooVarIDs[level - 1];
            if (varId.empty()) continue;
            levels.PushBack(VariationStockEntry(varId, VariationStockFigure(row.Stock, row.Deducts[level - 1]), a),
                            a);
          }
          if (levels.Empty()) continue;
          rapidjson::Value batch(rapidjson::kObjectType);
          batch.AddMember("update", levels, a);
          out.Variations.insert_or_assign(row.WooID, RequestJsonText(batch));
        }
      });
  if (!any) {
    LogLine(" |- No new data.");
    return out;
  }
  list.Finish();
  return out;
}

}  // namespace ooa
