#include "sync/Passes.h"

#include "config/ProblemList.h"
#include "db/DatabaseModule.h"
#include "shop/WooModule.h"
#include "sync/catalog/CatalogueProblems.h"
#include "sync/catalog/CatalogueUploads.h"
#include "sync/FreedMemory.h"
#include "sync/OrderSync.h"

namespace ooa {

namespace {

// A pass's working memory goes back when the pass ends, however it ends: the
// database's compiled batches and pages, and the heap the pass freed.
struct TPassMemory {
  TWooModule& Woo;
  ~TPassMemory() {
    try {
      Woo.Db().ReleaseMemory();
    } catch (...) {
    }
    ReturnFreedMemory();
  }
};

}  // namespace

// Category groups, categories, category translations, products (with their
// variations and translations), then stock.
// The shop's refusals go on the problems list.
void RunCatalogPass(TWooModule& woo) {
  TProblemList list(ProblemListPath());
  TCatalogueProblems problems(list);
  TCatalogueProblemsScope scope(problems);
  TPassMemory release{woo};
  UploadCatgories(woo, true);
  UploadCatgories(woo, false);
  UploadTranslationsOfCatgories(woo);
  UploadProducts(woo);
  UploadProductsStockData(woo);
}

// Modified orders: new invoices, cancellations, refunds, receipts, sync log.
void RunOrderPass(TWooModule& woo) {
  TPassMemory release{woo};
  SyncOrders(woo);
}

}  // namespace ooa
