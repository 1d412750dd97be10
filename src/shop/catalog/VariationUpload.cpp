// TWooModule::UploadProductVariations: one product's variation batch to its
// variations endpoint; the ids come back as SET items for the product's own
// write-back statement, so they are recorded only when that succeeds.
//
// The level of a created or updated variation is read from its SKU (product
// code + "-PK" + level at the very end), the level of a deleted one from the
// batch's DeleteLevels. A create the shop refuses because the variation
// exists (same options: "term_exists"; same SKU: "product_invalid_sku", as
// when a create is sent again after its id was lost) adopts the existing id.
#include "config/ActivityLog.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/order/OrderSku.h"
#include "shop/WooModule.h"
#include "shop/catalog/BatchUpload.h"

namespace ooa {
namespace {

std::string VariationColumn(int level) { return "WooVarID" + std::to_string(level); }

}  // namespace

bool TWooModule::UploadProductVariations(const std::string& WooId, const TVariationBatch& VariationBatchObject,
                                         std::vector<std::string>& Result) {
  LogLine("Start Upload Product Variations");
  // Entries the shop now holds as sent: created or updated, or deleted (gone).
  rapidjson::SizeType settled = 0, entries = 0;
  rapidjson::Document object;
  object.Parse(VariationBatchObject.Json.c_str(), VariationBatchObject.Json.size());
  for (const char* array : {"create", "update", "delete"}) {
    auto it = object.IsObject() ? object.FindMember(array) : object.MemberEnd();
    if (it != object.MemberEnd() && it->value.IsArray()) entries += it->value.Size();
  }
  TBatchUpload upload;
  upload.Resource = "products/" + WooId + "/variations/batch";
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
        Result.push_back(VariationColumn(VariationBatchObject.DeleteLevels[r.Index]) + "=''");
        ++settled;
      }
      return "";
    }
    const TSkuParts sku = SplitSku(MemberText(r.Entry, "sku"));
    if (sku.HasSuffix) {
      Result.push_back(VariationColumn(sku.PriceKind + 1) + "=" + SqlTextLiteral(r.Id));
      ++settled;
    }
    return "";
  };
  // An update of a variation the shop no longer has: its id is emptied, so the
  // level is created when the product is sent again.
  upload.UpdateError = [&](const TBatchResult& r) -> std::string {
    if (MemberText(*r.Error, "code") != "woocommerce_rest_product_variation_invalid_id") return "";
    const TSkuParts sku = SplitSku(MemberText(r.Entry, "sku"));
    if (sku.HasSuffix) Result.push_back(VariationColumn(sku.PriceKind + 1) + "=''");
    return "";
  };
  const bool answered = SendBatchObject(*RESTRequest1, Database, upload, object);
  return answered && settled == entries;
}

}  // namespace ooa
