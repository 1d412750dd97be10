// The catalogue pass's batch lists: the rows of the catalogue queries
// (db/catalog/CatalogReads.h) turned into shop entries (shop/woo) and cut
// into batches.
//
// Products not sent, each with a log line, the row staying pending:
// - a product without a ProductExtend row: the shop id could not be written
//   back, so every pass would create (or adopt through the SKU) the product
//   again and create its translations anew;
// - a product whose default price level names no level.
// A product that is not live and not yet in the shop is skipped silently.
#include "sync/catalog/CatalogueBatches.h"

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "db/catalog/CatalogReads.h"
#include "shop/woo/CategoryEntry.h"
#include "shop/woo/ProductEntry.h"
#include "shop/woo/StockEntry.h"

namespace ooa {

namespace {

// The batch list of category rows: " |- No new data." when there are none,
// otherwise each row's entries (addRow) in a row of the list of their own.
template <typename TAddRow>
TBatchList CategoryBatches(const std::vector<TCategoryRow>& rows, TAddRow addRow) {
  TBatchList list;
  if (rows.empty()) {
    LogLine(" |- No new data.");
    return list;
  }
  const TConfig config = ConfigSnapshot();
  for (const TCategoryRow& row : rows) {
    list.BeginRow();
    addRow(list, row, config);
  }
  list.Finish();
  return list;
}

}  // namespace

TBatchList GetCategories(TDatabaseModule& db, bool IsGroup) {
  LogLine(IsGroup ? "Getting Need to Upload Category Groups..." : "Getting Need to Upload Categories...");
  return CategoryBatches(GetCategoryRows(db, IsGroup), [](TBatchList& list, const TCategoryRow& row,
                                                          const TConfig& config) {
    auto& a = list.Allocator();
    if (row.OnlineSales) {
      rapidjson::Value entry = CategoryEntry(row, config, a);
      if (row.WooID.empty()) {
        list.AddCreate(entry);
        return;
      }
      AddText(entry, "id", row.WooID, a);
      list.AddUpdate(entry);
      for (int n = 1; n <= 3; ++n) {
        if (row.Translates[n - 1].empty() || row.Descriptions[n - 1].empty()) continue;
        rapidjson::Value translation = CategoryTranslationEntry(row, n, config, a);
        AddText(translation, "id", row.Translates[n - 1], a);
        list.AddUpdate(translation);
      }
    } else {
      list.AddDelete(row.WooID);
      for (const std::string& id : row.Translates) {
        if (!id.empty()) list.AddDelete(id);
      }
    }
  });
}

TBatchList GetTranslationsOfCategories(TDatabaseModule& db) {
  LogLine("Getting Need to Upload Translations of Categories...");
  return CategoryBatches(GetCategoryTranslationRows(db), [](TBatchList& list, const TCategoryRow& row,
                                                            const TConfig& config) {
    for (int n = 1; n <= 3; ++n) {
      // A grouped category waits until its group has the translation in this language.
      if (!row.Translates[n - 1].empty() || row.Descriptions[n - 1].empty()) continue;
      if (row.HasGroup && row.ParentTrans[n - 1].empty()) continue;
      rapidjson::Value entry = CategoryTranslationEntry(row, n, config, list.Allocator());
      list.AddCreate(entry);
    }
  });
}

TProductBatches GetProducts(TDatabaseModule& db) {
  LogLine("Getting Need to Upload Products...");
  TProductBatches out;
  TBatchList& list = out.List;
  const TConfig config = ConfigSnapshot();
  bool any = false;
  // The rows come in pieces and leave as the entries' text, so a big
  // catalogue is never held as rows.
  GetProductRows(db, config.WarehouseCode, [&](const std::vector<TProductRow>& rows) {
    any = true;
    auto& a = list.Allocator();
    for (const TProductRow& row : rows) {
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

TStockBatches GetProductStockData(TDatabaseModule& db) {
  LogLine("Getting Need to Upload Product Stock Data...");
  TStockBatches out;
  TBatchList& list = out.List;
  const std::string warehouse = ConfigSnapshot().WarehouseCode;
  bool any = false;
  GetProductStockRows(db, warehouse, [&](const std::vector<TProductRow>& rows) {
    any = true;
    auto& a = list.Allocator();
    for (const TProductRow& row : rows) {
      list.BeginRow();
      rapidjson::Value entry = ProductStockEntry(row.WooID, ProductStockFigure(row.Stock), a);
      list.AddUpdate(entry);
      if (!row.MultiplePrice) continue;
      rapidjson::Value levels(rapidjson::kArrayType);
      for (int level = 1; level <= 6; ++level) {
        const std::string& varId = row.WooVarIDs[level - 1];
        if (varId.empty()) continue;
        levels.PushBack(VariationStockEntry(varId, VariationStockFigure(row.Stock, row.Deducts[level - 1]), a), a);
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
