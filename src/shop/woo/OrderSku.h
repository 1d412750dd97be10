// How a shop SKU names a POS product and its price level. The catalogue upload
// gives a product sold at several price levels one shop variation per level,
// whose SKU is the product code followed by "-PK" and the level (1 to 6). Only
// such a suffix at the very end counts: BEER-PK6-PK1 is BEER-PK6 at level 1,
// AB-PK12 and AB-PK7 are products of those codes at the first level.
#pragma once

#include <string>

#include "config/Utf8Count.h"  // the code lengths are counted with Utf8CharCount

namespace ooa {

struct TSkuParts {
  std::string ProductCode;
  int PriceKind = 0;       // price level - 1
  bool HasSuffix = false;  // the SKU ended in "-PK" and a level digit
};

TSkuParts SplitSku(const std::string& sku);

// The customer code of an order: the member code when there is one, else
// "OnlineUser-" + the shop's customer id, or "OU" + the id where the long form
// would exceed the POS's 15 characters. False when no form fits (a member code
// or customer id too long for the POS).
bool OrderCustomerCode(const std::string& memberCode, const std::string& customerId, std::string& code);

// Longest customer code the POS keeps.
constexpr size_t kMaxCustomerCodeLength = 15;

}  // namespace ooa
