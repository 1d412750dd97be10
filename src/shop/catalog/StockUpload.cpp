// TWooModule::UploadProductsStockData and UploadProductVariationsStockData:
// stock levels of products already in the shop, and of their variations.
// Only LastStockSyncedAt is written; variation stock has no sync column and
// goes along each time its product's stock is accepted.
#include <exception>

#include "config/ActivityLog.h"
#include "config/Clock.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "shop/WooModule.h"
#include "shop/catalog/BatchUpload.h"

namespace ooa {

void TWooModule::UploadProductsStockData() {
  // Taken before the query: stock changed after the query read it stays pending.
  const std::string t = SqlDateTimeLiteral(Clock().NowLocal());
  const TStockBatches stock = Database.GetProductStockData();

  TBatchUpload upload;
  upload.Resource = "products/batch";
  upload.StartLine = "Start Upload Products Stock Data, total batches: ";
  upload.FinishedLine = "Finished Upload Products Stock Data";
  upload.LogRequest = false;
  upload.ResponseLog = TBatchUpload::TResponseLog::InsteadOfFailed;
  upload.UseCreate = upload.UseDelete = false;
  // Refused updates ("error") are skipped by the protocol: stock and variations stay pending.
  upload.WriteBack = [&](const TBatchResult& r) -> std::string {
    auto it = stock.Variations.find(r.Id);
    if (it != stock.Variations.end()) UploadProductVariationsStockData(r.Id, it->second);
    return "Update ProductExtend Set LastStockSyncedAt = " + t + " Where WooID = " + SqlTextLiteral(r.Id) + ";";
  };
  RunBatchUpload(*RESTRequest1, Database, upload, stock.List);
}

void TWooModule::UploadProductVariationsStockData(const std::string& WooId,
                                                  const rapidjson::Value& VariationBatchObject) {
  LogLine("Start Upload Product Variations Stock Data");
  TRestChannel& channel = *RESTRequest1;
  try {
    channel.SetResource("products/" + WooId + "/variations/batch");
    channel.SetMethod("POST");
    channel.ClearBody();
    channel.AddJsonBody(RequestJsonText(VariationBatchObject));
    channel.Execute();
    LogLine(channel.JsonValue() ? std::string("Finished Upload Product Variations Stock Data") : channel.Content());
  } catch (const std::exception& e) {
    LogLine(e.what());
  } catch (...) {
    LogLine("Connect to server fail.");
  }
}

}  // namespace ooa
