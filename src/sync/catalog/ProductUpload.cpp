// UploadProducts: products to "products/batch" with their shop ids
// and sync times written back to ProductExtend; variations and new
// translations follow each product the shop created or updated.
//
// Deletes in the shop are permanent: a product's delete result empties its
// WooID and WooVarID1..6 (the shop deletes a product's variations with it),
// and the delete result of a translation empties the Translate column that
// held it, so a product offered again is created afresh with its variations
// and translations instead of being sent as updates of deleted objects. Only
// a delete the shop confirms (or an id it does not know) counts; a refused
// delete writes nothing and is sent again next pass.
//
// A product whose variations did not all reach the shop (a failed or partly
// refused variations request) keeps its shop id and the variation ids that
// came back, but stays pending, so it and its variations are sent again.
//
// A product deleted in the shop (its update refused as an unknown id) loses
// its WooID, its variation ids and its translations' ids and stays pending,
// so the next pass creates it again (adopting it by SKU where the shop still
// has one) with its variations and translations, as after any create;
// otherwise the refused update would go out on every pass.
#include <unordered_map>
#include <utility>
#include <vector>

#include "sync/catalog/CatalogueUploads.h"
#include "config/Clock.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/catalog/ShopIds.h"
#include "shop/WooModule.h"
#include "sync/catalog/BatchUpload.h"
#include "sync/catalog/CatalogueBatches.h"
#include "sync/catalog/FollowUpRequests.h"

namespace ooa {
namespace {

// The delete result says the object is gone: deleted now, or unknown to the shop.
bool ProductGone(const TBatchResult& r) {
  return !r.Error || MemberText(*r.Error, "code") == "woocommerce_rest_product_invalid_id";
}

}  // namespace

void UploadProducts(TWooModule& woo) {
  // Taken before the query: a product changed after the query read it stays pending.
  const TDateTime t = Clock().NowLocal();
  const TProductBatches batches = GetProducts(woo.Db());
  TWriteBackQueue queue(woo.Db());

  // Sends the product's variations (if it has any) and adds their level ids
  // to ids; false when not all of them reached the shop.
  auto sendVariations = [&woo, &batches, &queue](const std::string& code, const std::string& id,
                                         std::vector<TVariationId>& ids) {
    auto it = batches.Variations.find(code);
    if (it == batches.Variations.end()) return true;
    return SendProductVariations(woo.Channel1(), queue, id, it->second, ids);
  };

  TBatchUpload upload;
  upload.Resource = "products/batch";
  upload.ProblemKind = "product";
  upload.StartLine = "Start Upload Products, total batches: ";
  upload.FinishedLine = "Finished Upload Products";
  upload.ResponseLog = TBatchUpload::TResponseLog::WhenJson;
  // Shop ids of products and variations come back through their SKU; the
  // translations (no SKU) commit theirs before the next request.
  upload.WriteBacksMayWait = true;
  upload.WriteBack = [&](const TBatchResult& r) -> std::string {
    const std::string code = MemberText(r.Entry, "sku");
    switch (r.Array) {
      case TResultArray::Create: {
        std::vector<TVariationId> ids;
        const bool complete = sendVariations(code, r.Id, ids);
        // An adopted product (the shop named the one holding its SKU) has the
        // shop's old figures: it stays pending and is sent as an update next pass.
        return ProductCreatedStatement(code, r.Id, complete && !r.Error, t, ids);
      }
      case TResultArray::Update: {
        std::vector<TVariationId> ids;
        const bool complete = code.empty() || sendVariations(code, r.Id, ids);
        return ProductUpdatedStatement(r.Id, complete, t, ids);
      }
      case TResultArray::Delete:
        // A refused delete leaves the product pending: it is still for sale in the shop.
        if (!ProductGone(r)) return "";
        return ProductDeletedStatement(r.Id, t);
    }
    return "";
  };
  upload.UpdateError = [](const TBatchResult& r) -> std::string {
    if (MemberText(*r.Error, "code") != "woocommerce_rest_product_invalid_id") return "";
    // Also answers a translation's update; no product holds its id in WooID.
    const std::string sent = MemberText(r.Entry, "id");
    return ForgetShopProductSql(sent.empty() ? r.Id : sent);
  };
  upload.AfterWrite = [&](const TBatchResult& r) {
    if (r.Array == TResultArray::Create) {
      auto it = batches.Translations.find(MemberText(r.Entry, "sku"));
      if (it != batches.Translations.end()) {
        rapidjson::Document translations;
        translations.Parse(it->second.c_str(), it->second.size());
        SendProductTranslations(woo.Channel1(), queue, r.Id, translations);
      }
    } else if (r.Array == TResultArray::Delete && ProductGone(r)) {
      for (std::string& sql : ProductTranslationDeletedStatements(r.Id)) QueueWriteBack(queue, std::move(sql));
    }
  };
  RunBatchUpload(woo.Channel1(), queue, upload, batches.List);
}

}  // namespace ooa
