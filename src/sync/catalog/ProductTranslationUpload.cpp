// UploadProductTranslations (SendProductTranslations within a
// run): creates the translated copies of a product the shop has just created
// and records their ids in Translate1..3.
#include "sync/catalog/CatalogueUploads.h"
#include "config/ActivityLog.h"
#include "config/Config.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/catalog/ShopIds.h"
#include "shop/WooModule.h"
#include "sync/catalog/BatchUpload.h"
#include "sync/catalog/FollowUpRequests.h"

namespace ooa {

void SendProductTranslations(TRestChannel& channel, TWriteBackQueue& queue, const std::string& WooId,
                             const rapidjson::Value& Translations) {
  LogLine("Start Upload Product Translations");
  rapidjson::Document batch(rapidjson::kObjectType);
  auto& a = batch.GetAllocator();
  rapidjson::Value create(rapidjson::kArrayType);
  if (Translations.IsArray()) {
    for (const auto& entry : Translations.GetArray()) {
      rapidjson::Value copy(entry, a);
      AddText(copy, "translation_of", WooId, a);
      create.PushBack(copy, a);
    }
  }
  if (ConfigDebug()) LogLine(RequestJsonText(create));
  batch.AddMember("create", create, a);

  const TConfig config = ConfigSnapshot();
  TBatchUpload upload;
  upload.Resource = "products/batch";
  upload.ProblemKind = "translation";
  upload.FinishedLine = "Finished Upload Product Translations";
  upload.LogRequest = false;
  upload.ResponseLog = TBatchUpload::TResponseLog::Never;
  upload.UseUpdate = upload.UseDelete = false;
  // The column is the first translation slot whose language is the entry's.
  upload.WriteBack = [&config](const TBatchResult& r) -> std::string {
    const int slot = TranslationSlotOf(MemberText(r.Entry, "lang"), config);
    if (slot == 0) return "";
    return ProductTranslationStatement(MemberText(r.Entry, "raw_product_code"), slot, r.Id);
  };
  SendBatchObject(channel, queue, upload, batch);
}

void UploadProductTranslations(TWooModule& woo, const std::string& WooId, const rapidjson::Value& Translations) {
  TWriteBackQueue queue(woo.Db());
  SendProductTranslations(woo.Channel1(), queue, WooId, Translations);
}

}  // namespace ooa
