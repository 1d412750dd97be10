#include "shop/woo/OrderSku.h"

#include "config/Utf8Count.h"

namespace ooa {

TSkuParts SplitSku(const std::string& sku) {
  TSkuParts parts;
  parts.ProductCode = sku;
  const size_t n = sku.size();
  if (n > 4 && sku.compare(n - 4, 3, "-PK") == 0 && sku[n - 1] >= '1' && sku[n - 1] <= '6') {
    parts.ProductCode = sku.substr(0, n - 4);
    parts.PriceKind = sku[n - 1] - '1';
    parts.HasSuffix = true;
  }
  return parts;
}

bool OrderCustomerCode(const std::string& memberCode, const std::string& customerId, std::string& code) {
  if (!memberCode.empty()) {
    if (Utf8CharCount(memberCode) > kMaxCustomerCodeLength) return false;
    code = memberCode;
    return true;
  }
  std::string candidate = "OnlineUser-" + customerId;
  if (Utf8CharCount(candidate) > kMaxCustomerCodeLength) candidate = "OU" + customerId;
  if (Utf8CharCount(candidate) > kMaxCustomerCodeLength) return false;
  code = candidate;
  return true;
}

}  // namespace ooa
