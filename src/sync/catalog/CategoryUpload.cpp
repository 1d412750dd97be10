// UploadCatgories: category groups or categories to the shop, with
// their shop ids and sync time written back to the table Category.
//
// A withdrawn category's delete result also empties Translate1..3: deletes in
// the shop are permanent, so when the category is offered again its
// translations must be created afresh, not updated.
#include "sync/catalog/CatalogueUploads.h"
#include "config/ActivityLog.h"
#include "config/Clock.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/catalog/ShopIds.h"
#include "shop/WooModule.h"
#include "sync/catalog/BatchUpload.h"
#include "sync/catalog/CatalogueBatches.h"

namespace ooa {

void UploadCatgories(TWooModule& woo, bool IsGroup) {
  // Taken before the query: a row changed after the query read it stays pending.
  const TDateTime t = Clock().NowLocal();
  const TBatchList list = GetCategories(woo.Db(), IsGroup);

  TBatchUpload upload;
  upload.Resource = "products/categories/batch";
  upload.ProblemKind = "category";
  upload.StartLine = IsGroup ? "Start Upload Category Groups, total batches: " : "Start Upload Categories, total batches: ";
  upload.FinishedLine = IsGroup ? "Finished Upload Category Groups" : "Finished Upload Categories";
  upload.ResponseLog = TBatchUpload::TResponseLog::Always;
  upload.WriteBack = [&t](const TBatchResult& r) -> std::string {
    switch (r.Array) {
      case TResultArray::Create:
        return CategoryCreatedStatement(MemberText(r.Entry, "raw_name"), r.Id, t);
      case TResultArray::Update:
        return CategorySyncedStatement(r.Id, t);
      case TResultArray::Delete:
        return CategoryDeletedStatement(r.Id, t);
    }
    return "";
  };
  // An update of an object the shop does not know: the category goes offline.
  upload.UpdateError = [&t](const TBatchResult& r) -> std::string {
    if (MemberText(*r.Error, "code") != "invalid_taxonomy") return "";
    return CategoryGoneStatement(r.Id, t);
  };
  TWriteBackQueue queue(woo.Db());
  RunBatchUpload(woo.Channel1(), queue, upload, list);
}

}  // namespace ooa
