// TDatabaseModule::GetProducts: products that changed since their last sync,
// as product batches with their variation batches and the translations to
// create once the shop created the product.
//
// Not sent, each with a log line, the row staying pending:
// - a product without a ProductExtend row: the shop id could not be written
//   back, so every pass would create (or adopt through the SKU) the product
//   again and create its translations anew;
// - a product whose default price level names no level.
// A product that is not live and not yet in the shop is skipped silently.
#include "config/ActivityLog.h"
#include "db/DatabaseModule.h"
#include "shop/woo/ProductEntry.h"

namespace ooa {

const char* const kProductQuery =
    "Select p.*, pe.*, pe.ProductCode as ExtendProductCode, c.WooID as WooCateID, c.Translate1 as WooCateTrans1, "
    "c.Translate2 as WooCateTrans2, c.Translate3 as WooCateTrans3 From Product p Left Join ProductExtend pe ON "
    "p.ProductCode = pe.ProductCode Left Join Category c ON p.Category = c.Category Where (p.OnlineOrderItem = 1 "
    "Or (p.OnlineOrderItem = 0 And (pe.WooId <> '' And pe.WooID IS NOT NULL))) And (pe.LastSyncedAt < "
    "p.ModifyDate or pe.LastSyncedAt IS NULL) And c.WooID Is Not Null And c.WooID <> ''";

TProductBatches TDatabaseModule::GetProducts() {
  LogLine("Getting Need to Upload Products...");
  TProductBatches out;
  TBatchList& list = out.List;
  const TConfig config = ConfigSnapshot();
  bool any = false;
  // The rows come in pieces and leave as the entries' text, so a big
  // catalogue is never held as rows.
  OpenQueryInPieces(kProductQuery, kRowsAtATime, [&](const TRecordSet& rows) {
    if (rows.RecordCount() == 0) return;
    any = true;
    const TProductColumns columns(rows, config.WarehouseCode);
    auto& a = list.Allocator();
    for (int i = 0; i < rows.RecordCount(); ++i) {
      const TProductRow row = columns.Read(i);
      list.BeginRow();
      if (!row.HasExtend) {
        LogLine(" |- Product " + row.ProductCode + " has no ProductExtend row; not sent.");
        continue;
      }
      if (!row.OnlineOrderItem) {
        list.AddDelete(row.WooID);
        for (const std::string& id : row.Translates)
          if (!id.empty()) list.AddDelete(id);
        continue;
      }
      if (!row.Live && row.WooID.empty()) continue;
      const int level = DefaultPriceLevel(row.DefaultSalesPrice);
      if (level == 0) {
        LogLine(" |- Product " + row.ProductCode + " has no price level " + std::to_string(row.DefaultSalesPrice + 1) +
                " (DefaultSalesPrice); not sent.");
        continue;
      }

      std::vector<std::string> options;
      if (row.MultiplePrice) {
        TVariationBatch variations = VariationBatch(row, options, a);
        if (!variations.Json.empty()) out.Variations.emplace(row.ProductCode, std::move(variations));
      }
      const rapidjson::Value entry = ProductEntry(row, level, row.Live, options, config, a);

      rapidjson::Value pending(rapidjson::kArrayType);
      rapidjson::Value translations[3];
      for (int n = 1; n <= 3; ++n) {
        if (!row.Descriptions[n - 1].empty()) translations[n - 1] = TranslationEntry(entry, row, n, config, a);
      }
      if (row.WooID.empty()) {
        list.AddCreate(entry);
      } else {
        list.AddUpdate(entry);
      }
      for (int n = 1; n <= 3; ++n) {
        if (translations[n - 1].IsNull()) continue;
        if (!row.Translates[n - 1].empty()) {
          list.AddUpdate(translations[n - 1]);
        } else {
          pending.PushBack(translations[n - 1], a);
        }
      }
      if (!pending.Empty()) out.Translations.emplace(row.ProductCode, RequestJsonText(pending));
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
