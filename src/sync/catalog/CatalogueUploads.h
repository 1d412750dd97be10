// The catalogue pass's uploads: the entry points the pass (sync/Passes.cpp)
// runs in turn, over the shop module's first channel and into its database
// module (TWooModule::Channel1, Db). Catalogue worker thread.
#pragma once

#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "model/VariationId.h"
#include "shop/WooModule.h"
#include "shop/woo/ProductBatches.h"

namespace ooa {

// Batch uploads on the first channel (catalogue worker thread), each with
// the protocol of sync/catalog/BatchUpload.h. Nothing is returned; request
// failures are logged and the rows stay pending; database query errors are
// thrown and end the pass.
// Category groups (IsGroup) or categories to "products/categories/batch";
// writes WooID and LastSyncedAt back (one upload time per run).
void UploadCatgories(TWooModule& woo, bool IsGroup);
// Creates the missing category translations; writes Translate1..3 back.
void UploadTranslationsOfCatgories(TWooModule& woo);
// Products to "products/batch"; for each product the shop created or
// updated, its variation batch (UploadProductVariations) whose ids go into
// the product's own write-back, and for each created one its translations
// (UploadProductTranslations). Writes WooID, LastSyncedAt, LastStockSyncedAt
// and WooVarID1..6; a confirmed delete empties WooID, WooVarID1..6 and the
// Translate column of each deleted translation. An update refused because
// the shop no longer has the product empties its ids and leaves it pending,
// so it is created again; a product adopted through its SKU stays pending
// until it was sent as an update.
void UploadProducts(TWooModule& woo);
// One request creating the translations of a product the shop has just
// created as WooId; writes Translate1..3 (column chosen by "lang").
void UploadProductTranslations(TWooModule& woo, const std::string& WooId, const rapidjson::Value& Translations);
// One request with a product's variation batch to
// "products/" + WooId + "/variations/batch". Appends to Result one level id
// per recorded variation ({2, "57"}; a confirmed delete gives {2, ""}),
// created ones first, then updated, then deleted ones.
// A create refused with "term_exists" adopts the existing variation named
// in "data"."resource_id", and so does "product_invalid_sku" when that id
// is one of this product's variations; an adopted variation is sent again
// as an update. True when the shop now holds every level as sent
// (UploadProducts leaves the product pending otherwise).
bool UploadProductVariations(const std::string& WooId, const TVariationBatch& VariationBatchObject,
                             std::vector<TVariationId>& Result);
// Stock of changed products to "products/batch"; writes LastStockSyncedAt.
// For each accepted product with variations in the shop, their stock first.
// A product the shop no longer has loses its ids and becomes pending for
// the product pass, which creates it again.
void UploadProductsStockData(TWooModule& woo);
// One request with a variable product's variation stock. True when the
// shop accepted every entry (the product's stock sync time is written only
// then). A variation it does not know loses its id and makes the product
// pending, so the product pass creates it again.
bool UploadProductVariationsStockData(TWooModule& woo, const std::string& WooId, const rapidjson::Value& VariationBatchObject);

}  // namespace ooa
