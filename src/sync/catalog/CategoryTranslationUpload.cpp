// UploadTranslationsOfCatgories: creates the missing translations
// of groups and categories and records their shop ids in Translate1..3.
// No sync time is written.
#include "sync/catalog/CatalogueUploads.h"
#include "config/ActivityLog.h"
#include "config/Config.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/catalog/ShopIds.h"
#include "shop/WooModule.h"
#include "sync/catalog/BatchUpload.h"
#include "sync/catalog/CatalogueBatches.h"

namespace ooa {

void UploadTranslationsOfCatgories(TWooModule& woo) {
  const TConfig config = ConfigSnapshot();
  const TBatchList list = GetTranslationsOfCategories(woo.Db());

  TBatchUpload upload;
  upload.Resource = "products/categories/batch";
  upload.ProblemKind = "translation";
  upload.StartLine = "Start Upload Translations of Categories, total batches: ";
  upload.FinishedLine = "Finished Upload Translations of Categories";
  upload.ResponseLog = TBatchUpload::TResponseLog::Never;
  upload.UseUpdate = upload.UseDelete = false;
  // The column is the first translation slot whose language is the entry's.
  upload.WriteBack = [&config](const TBatchResult& r) -> std::string {
    const int slot = TranslationSlotOf(MemberText(r.Entry, "lang"), config);
    if (slot == 0) return "";
    return CategoryTranslationStatement(MemberText(r.Entry, "translation_of"), slot, r.Id);
  };
  TWriteBackQueue queue(woo.Db());
  RunBatchUpload(woo.Channel1(), queue, upload, list);
}

}  // namespace ooa
