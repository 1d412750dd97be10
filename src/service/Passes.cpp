#include "service/Passes.h"

#include "shop/WooModule.h"

namespace ooa {

// Category groups, categories, category translations, products (with their
// variations and translations), then stock.
void RunCatalogPass(TWooModule& woo) {
  woo.UploadCatgories(true);
  woo.UploadCatgories(false);
  woo.UploadTranslationsOfCatgories();
  woo.UploadProducts();
  woo.UploadProductsStockData();
}

// Modified orders: new invoices, cancellations, refunds, receipts, sync log.
void RunOrderPass(TWooModule& woo) { woo.SyncOrders(); }

}  // namespace ooa
