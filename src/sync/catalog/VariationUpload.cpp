// UploadProductVariations (SendProductVariations within a run):
// one product's variation batch to its variations endpoint; the ids come back
// as level ids for the product's own write-back statement, so they are
// recorded only when that succeeds.
//
// The level of a created or updated variation is read from its SKU (product
// code + "-PK" + level at the very end), the level of a deleted one from the
// batch's DeleteLevels.
//
// A create the shop refuses because the variation exists adopts the existing
// one: "term_exists" (same options) names a variation of this product;
// "product_invalid_sku" names whatever holds the SKU, which may be another
// product or another product's variation, so its id is adopted only when the
// product's "variations" list holds it. Otherwise the shop's message is
// logged and the level stays empty (the product stays pending). An adopted
// variation holds what the shop had, not what was sent: it is sent again at
// once as an update with its id, and counts as settled only when the shop
// accepts that, so its price and stock are never left stale.
#include "sync/catalog/CatalogueUploads.h"
#include "config/ActivityLog.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "shop/woo/OrderSku.h"
#include "shop/WooModule.h"
#include "sync/catalog/BatchUpload.h"
#include "sync/catalog/FollowUpRequests.h"

namespace ooa {
namespace {

// Whether the shop lists variationId among the variations of product
// productId ("products/<id>" answers them in "variations"). The variation's
// own address is no test: the shop answers "products/<any>/variations/<id>"
// for any product id, and without a parent. A failed request counts as no.
bool IsVariationOf(TRestChannel& channel, TWriteBackQueue& queue, const std::string& productId,
                   const std::string& variationId) {
  try {
    FlushWriteBacks(queue);
    channel.SetResource("products/" + productId);
    channel.SetMethod("GET");
    channel.ClearBody();
    channel.Execute();
    const rapidjson::Document* answer = channel.JsonValue();
    if (channel.StatusCode() != 200 || !answer || !answer->IsObject()) return false;
    auto variations = answer->FindMember("variations");
    if (variations == answer->MemberEnd() || !variations->value.IsArray()) return false;
    for (const auto& id : variations->value.GetArray())
      if (JsonTextOrEmpty(id) == variationId) return true;
    return false;
  } catch (...) {
    return false;
  }
}

}  // namespace

bool SendProductVariations(TRestChannel& channel, TWriteBackQueue& queue, const std::string& WooId,
                           const TVariationBatch& VariationBatchObject, std::vector<TVariationId>& Result) {
  LogLine("Start Upload Product Variations");
  // Entries the shop now holds as sent: created or updated, or deleted (gone).
  rapidjson::SizeType settled = 0, entries = 0;
  rapidjson::Document object;
  object.Parse(VariationBatchObject.Json.c_str(), VariationBatchObject.Json.size());
  for (const char* array : {"create", "update", "delete"}) {
    auto it = object.IsObject() ? object.FindMember(array) : object.MemberEnd();
    if (it != object.MemberEnd() && it->value.IsArray()) entries += it->value.Size();
  }
  // Adopted variations, to be sent again as updates.
  rapidjson::Document adopted(rapidjson::kObjectType);
  rapidjson::Value adoptedUpdates(rapidjson::kArrayType);

  TBatchUpload upload;
  upload.Resource = "products/" + WooId + "/variations/batch";
  upload.ProblemKind = "variation";
  upload.FinishedLine = "Finished Upload Product Variations";
  upload.LogRequest = false;
  upload.ResponseLog = TBatchUpload::TResponseLog::Never;
  upload.AcceptCreateError = [](const rapidjson::Value& error) {
    const std::string code = MemberText(error, "code");
    return code == "term_exists" || code == "product_invalid_sku";
  };
  upload.WriteBack = [&](const TBatchResult& r) -> std::string {
    if (r.Array == TResultArray::Delete) {
      const bool gone = !r.Error || MemberText(*r.Error, "code") == "woocommerce_rest_product_variation_invalid_id";
      if (gone && r.Index < VariationBatchObject.DeleteLevels.size()) {
        Result.push_back({VariationBatchObject.DeleteLevels[r.Index], ""});
        ++settled;
      }
      return "";
    }
    const std::string sku = MemberText(r.Entry, "sku");
    const TSkuParts parts = SplitSku(sku);
    if (!parts.HasSuffix) return "";
    if (r.Error) {
      if (MemberText(*r.Error, "code") == "product_invalid_sku" && !IsVariationOf(channel, queue, WooId, r.Id)) {
        LogLine(" |- Variation " + sku + " not linked: " + MemberText(*r.Error, "message") + " (shop object " +
                r.Id + ")");
        return "";
      }
      rapidjson::Value update(r.Entry, adopted.GetAllocator());
      AddText(update, "id", r.Id, adopted.GetAllocator());
      adoptedUpdates.PushBack(update, adopted.GetAllocator());
    } else {
      ++settled;
    }
    Result.push_back({parts.PriceKind + 1, r.Id});
    return "";
  };
  // An update of a variation the shop no longer has: its id is emptied, so the
  // level is created when the product is sent again.
  upload.UpdateError = [&](const TBatchResult& r) -> std::string {
    if (MemberText(*r.Error, "code") != "woocommerce_rest_product_variation_invalid_id") return "";
    const TSkuParts sku = SplitSku(MemberText(r.Entry, "sku"));
    if (sku.HasSuffix) Result.push_back({sku.PriceKind + 1, ""});
    return "";
  };
  const bool answered = SendBatchObject(channel, queue, upload, object);

  if (answered && !adoptedUpdates.Empty()) {
    adopted.AddMember("update", adoptedUpdates, adopted.GetAllocator());
    TBatchUpload again = upload;
    again.UseCreate = again.UseDelete = false;
    again.UpdateError = nullptr;
    again.WriteBack = [&](const TBatchResult&) -> std::string {
      ++settled;
      return "";
    };
    SendBatchObject(channel, queue, again, adopted);
  }
  return answered && settled == entries;
}

bool UploadProductVariations(TWooModule& woo, const std::string& WooId, const TVariationBatch& VariationBatchObject,
                                         std::vector<TVariationId>& Result) {
  TWriteBackQueue queue(woo.Db());
  return SendProductVariations(woo.Channel1(), queue, WooId, VariationBatchObject, Result);
}

}  // namespace ooa
