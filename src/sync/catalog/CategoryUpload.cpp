// TWooModule::UploadCatgories: category groups or categories to the shop, with
// their shop ids and sync time written back to the table Category.
//
// A withdrawn category's delete result also empties Translate1..3: deletes in
// the shop are permanent, so when the category is offered again its
// translations must be created afresh, not updated.
#include "config/ActivityLog.h"
#include "config/Clock.h"
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "shop/WooModule.h"
#include "sync/catalog/BatchUpload.h"
#include "sync/catalog/CatalogueBatches.h"

namespace ooa {

void TWooModule::UploadCatgories(bool IsGroup) {
  // Taken before the query: a row changed after the query read it stays pending.
  const std::string t = SqlDateTimeLiteral(Clock().NowLocal());
  const TBatchList list = GetCategories(Database, IsGroup);

  TBatchUpload upload;
  upload.Resource = "products/categories/batch";
  upload.ProblemKind = "category";
  upload.StartLine = IsGroup ? "Start Upload Category Groups, total batches: " : "Start Upload Categories, total batches: ";
  upload.FinishedLine = IsGroup ? "Finished Upload Category Groups" : "Finished Upload Categories";
  upload.ResponseLog = TBatchUpload::TResponseLog::Always;
  upload.WriteBack = [&t](const TBatchResult& r) -> std::string {
    switch (r.Array) {
      case TResultArray::Create:
        return "Update Category Set WooID = " + SqlTextLiteral(r.Id) + " , LastSyncedAt = " + t +
               " Where Category = " + SqlTextLiteral(MemberText(r.Entry, "raw_name")) + ";";
      case TResultArray::Update:
        return "Update Category Set LastSyncedAt = " + t + " Where WooID = " + SqlTextLiteral(r.Id) + ";";
      case TResultArray::Delete:
        return "Update Category Set LastSyncedAt = " + t +
               ", WooID = '', Translate1 = '', Translate2 = '', Translate3 = ''" +
               " Where WooID = " + SqlTextLiteral(r.Id) + ";";
    }
    return "";
  };
  // An update of an object the shop does not know: the category goes offline.
  upload.UpdateError = [&t](const TBatchResult& r) -> std::string {
    if (MemberText(*r.Error, "code") != "invalid_taxonomy") return "";
    return "Update Category Set LastSyncedAt = " + t + ", WooID = ''" + ", OnlineSales = 0" +
           " Where WooID = " + SqlTextLiteral(r.Id) + ";";
  };
  RunBatchUpload(*RESTRequest1, Database, upload, list);
}

}  // namespace ooa
