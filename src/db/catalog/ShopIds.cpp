// Statements for shop objects deleted in the shop (see DeletedInShop.h).
#include "db/catalog/ShopIds.h"

#include "config/UtilUnit.h"

namespace ooa {

std::string ForgetShopProductSql(const std::string& productId) {
  return "Update ProductExtend Set WooID = '', WooVarID1 = '', WooVarID2 = '', WooVarID3 = '', WooVarID4 = '', "
         "WooVarID5 = '', WooVarID6 = '', Translate1 = '', Translate2 = '', Translate3 = '', LastSyncedAt = Null "
         "Where WooID = " +
         SqlTextLiteral(productId) + ";";
}

std::vector<std::string> ForgetShopVariationSql(const std::string& productId, const std::string& variationId) {
  std::vector<std::string> out;
  if (productId.empty() || variationId.empty()) return out;
  for (int level = 1; level <= 6; ++level) {
    const std::string column = "WooVarID" + std::to_string(level);
    out.push_back("Update ProductExtend Set " + column + " = '', LastSyncedAt = Null Where WooID = " +
                  SqlTextLiteral(productId) + " And " + column + " = " + SqlTextLiteral(variationId) + ";");
  }
  return out;
}

}  // namespace ooa
