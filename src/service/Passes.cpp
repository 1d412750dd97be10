#include "service/Passes.h"

#include "config/ProblemList.h"
#include "shop/WooModule.h"
#include "shop/catalog/CatalogueProblems.h"

namespace ooa {

// Category groups, categories, category translations, products (with their
// variations and translations), then stock.
// The shop's refusals go on the problems list.
void RunCatalogPass(TWooModule& woo) {
  TProblemList list(ProblemListPath());
  TCatalogueProblems problems(list);
  TCatalogueProblemsScope scope(problems);
  woo.UploadCatgories(true);
  woo.UploadCatgories(false);
  woo.UploadTranslationsOfCatgories();
  woo.UploadProducts();
  woo.UploadProductsStockData();
}

// Modified orders: new invoices, cancellations, refunds, receipts, sync log.
void RunOrderPass(TWooModule& woo) { woo.SyncOrders(); }

}  // namespace ooa
