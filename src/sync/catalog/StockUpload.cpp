// UploadProductsStockData and UploadProductVariationsStockData
// (SendVariationStock within a run): stock levels of products already in the
// shop, and of their variations.
// Only LastStockSyncedAt is written; variation stock has no sync column and
// goes along each time its product's stock is sent. A product's stock counts
// as synced only when its variations' stock arrived too; otherwise both are
// sent again next pass (the variations would else keep a wrong stock until
// the product's stock changed again).
//
// Objects deleted in the shop: a product whose stock update is refused as an
// unknown id, or a variation whose stock update is, loses that shop id and
// its ProductExtend.LastSyncedAt (Null), so the next product pass creates it
// again with its stock; otherwise the same refused requests would go out on
// every pass. Product.ModifyDate belongs to the POS and is never written.
#include <exception>
#include <utility>

#include "sync/catalog/CatalogueUploads.h"
#include "config/ActivityLog.h"
#include "config/Clock.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/catalog/ShopIds.h"
#include "shop/WooModule.h"
#include "sync/catalog/BatchUpload.h"
#include "sync/catalog/CatalogueBatches.h"
#include "sync/catalog/FollowUpRequests.h"

namespace ooa {

void UploadProductsStockData(TWooModule& woo) {
  // Taken before the query: stock changed after the query read it stays pending.
  const TDateTime t = Clock().NowLocal();
  const TStockBatches stock = GetProductStockData(woo.Db());
  TWriteBackQueue queue(woo.Db());

  TBatchUpload upload;
  upload.Resource = "products/batch";
  upload.ProblemKind = "stock";
  upload.StartLine = "Start Upload Products Stock Data, total batches: ";
  upload.FinishedLine = "Finished Upload Products Stock Data";
  upload.LogRequest = false;
  upload.ResponseLog = TBatchUpload::TResponseLog::InsteadOfFailed;
  upload.UseCreate = upload.UseDelete = false;
  // Other refused updates write nothing: stock and variations stay pending.
  upload.UpdateError = [](const TBatchResult& r) -> std::string {
    if (MemberText(*r.Error, "code") != "woocommerce_rest_product_invalid_id") return "";
    const std::string sent = MemberText(r.Entry, "id");
    return ForgetShopProductSql(sent.empty() ? r.Id : sent);
  };
  upload.WriteBack = [&](const TBatchResult& r) -> std::string {
    auto it = stock.Variations.find(r.Id);
    // Variation stock that did not arrive keeps the product's stock pending.
    if (it != stock.Variations.end()) {
      rapidjson::Document levels;
      levels.Parse(it->second.c_str(), it->second.size());
      if (!SendVariationStock(woo.Channel1(), queue, r.Id, levels)) return "";
    }
    return StockSyncedStatement(r.Id, t);
  };
  RunBatchUpload(woo.Channel1(), queue, upload, stock.List);
}

bool SendVariationStock(TRestChannel& channel, TWriteBackQueue& queue, const std::string& WooId,
                        const rapidjson::Value& VariationBatchObject) {
  LogLine("Start Upload Product Variations Stock Data");
  try {
    FlushWriteBacks(queue);  // the stock answered so far is committed before the next request
    channel.SetResource("products/" + WooId + "/variations/batch");
    channel.SetMethod("POST");
    channel.ClearBody();
    channel.AddJsonBody(RequestJsonText(VariationBatchObject));
    channel.Execute();
    const rapidjson::Document* answer = channel.JsonValue();
    if (!answer) {
      LogLine(channel.Content());
      return false;
    }
    LogLine("Finished Upload Product Variations Stock Data");
    // Accepted when the shop answered every update without an error.
    auto sent = VariationBatchObject.FindMember("update");
    auto got = answer->IsObject() ? answer->FindMember("update") : answer->MemberEnd();
    if (sent == VariationBatchObject.MemberEnd() || !sent->value.IsArray()) return true;
    if (got == answer->MemberEnd() || !got->value.IsArray() || got->value.Size() != sent->value.Size()) return false;
    bool accepted = true;
    for (rapidjson::SizeType i = 0; i < got->value.Size(); ++i) {
      const rapidjson::Value& element = got->value[i];
      if (!element.IsObject() || !element.HasMember("error") || element["error"].IsNull()) continue;
      accepted = false;
      if (MemberText(element["error"], "code") == "woocommerce_rest_product_variation_invalid_id")
        for (std::string& sql : ForgetShopVariationSql(WooId, MemberText(sent->value[i], "id")))
          QueueWriteBack(queue, std::move(sql));
    }
    return accepted;
  } catch (const std::exception& e) {
    LogLine(e.what());
  } catch (...) {
    LogLine("Connect to server fail.");
  }
  return false;
}

bool UploadProductVariationsStockData(TWooModule& woo, const std::string& WooId,
                                                  const rapidjson::Value& VariationBatchObject) {
  TWriteBackQueue queue(woo.Db());
  return SendVariationStock(woo.Channel1(), queue, WooId, VariationBatchObject);
}

}  // namespace ooa
