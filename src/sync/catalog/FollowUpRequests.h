// The requests the product and stock uploads send while they process the
// shop's answer (one product's variations, its new translations, a variable
// product's variation stock), on the run's channel and write-back queue, so
// their write-backs join the run's queue (WriteBackQueue.h). The
// TWooModule members of the same names call them with a queue of their own.
// Catalogue worker thread; channel and queue are borrowed.
#pragma once

#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "model/VariationId.h"
#include "shop/woo/ProductBatches.h"

namespace ooa {

class TRestChannel;
class TWriteBackQueue;

// UploadProductVariations (CatalogueUploads.h).
bool SendProductVariations(TRestChannel& channel, TWriteBackQueue& queue, const std::string& wooId,
                           const TVariationBatch& batch, std::vector<TVariationId>& result);
// UploadProductTranslations (CatalogueUploads.h).
void SendProductTranslations(TRestChannel& channel, TWriteBackQueue& queue, const std::string& wooId,
                             const rapidjson::Value& translations);
// UploadProductVariationsStockData (CatalogueUploads.h).
bool SendVariationStock(TRestChannel& channel, TWriteBackQueue& queue, const std::string& wooId,
                        const rapidjson::Value& batch);

}  // namespace ooa
