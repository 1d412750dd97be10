// The catalogue batch endpoints of the stand-in shop: product categories, products
// and a product's variations. Each call handles one request body and answers the
// shop's batch result ({"create":[..],"update":[..],"delete":[..]}, element i for
// entry i). The caller holds the store's mutex for the whole call.
#pragma once

#include <cstdint>
#include <string>

#include "ShopRequest.h"
#include "Store.h"

namespace ooa::standin {

inline constexpr int kBatchLimit = 100;

TShopResponse CategoryBatch(TStore& store, const std::string& body);
TShopResponse ProductBatch(TStore& store, const std::string& body);
TShopResponse VariationBatch(TStore& store, int64_t productId, const std::string& body);

}  // namespace ooa::standin
