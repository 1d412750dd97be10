// The catalogue uploads' write-back statements (see ShopIds.h).
#include "db/catalog/ShopIds.h"

#include "config/UtilUnit.h"

namespace ooa {
namespace {

std::string Column(const char* name, int n) { return name + std::to_string(n); }

// "LastSyncedAt = <t>, LastStockSyncedAt = <t>"
std::string SyncTimes(TDateTime syncTime) {
  const std::string t = SqlDateTimeLiteral(syncTime);
  return "LastSyncedAt = " + t + ", LastStockSyncedAt = " + t;
}

// The variation ids as SET items: "WooVarID2=N'57', WooVarID3=''".
std::string VariationItems(const std::vector<TVariationId>& variations) {
  std::string items;
  for (std::size_t i = 0; i < variations.size(); ++i) {
    const TVariationId& v = variations[i];
    items += (i == 0 ? "" : ", ") + Column("WooVarID", v.Level) + "=" +
             (v.WooId.empty() ? std::string("''") : SqlTextLiteral(v.WooId));
  }
  return items;
}

}  // namespace

std::string CategoryCreatedStatement(const std::string& category, const std::string& wooId, TDateTime syncTime) {
  return "Update Category Set WooID = " + SqlTextLiteral(wooId) + " , LastSyncedAt = " + SqlDateTimeLiteral(syncTime) +
         " Where Category = " + SqlTextLiteral(category) + ";";
}

std::string CategorySyncedStatement(const std::string& wooId, TDateTime syncTime) {
  return "Update Category Set LastSyncedAt = " + SqlDateTimeLiteral(syncTime) + " Where WooID = " +
         SqlTextLiteral(wooId) + ";";
}

std::string CategoryDeletedStatement(const std::string& wooId, TDateTime syncTime) {
  return "Update Category Set LastSyncedAt = " + SqlDateTimeLiteral(syncTime) +
         ", WooID = '', Translate1 = '', Translate2 = '', Translate3 = '' Where WooID = " + SqlTextLiteral(wooId) +
         ";";
}

std::string CategoryGoneStatement(const std::string& wooId, TDateTime syncTime) {
  return "Update Category Set LastSyncedAt = " + SqlDateTimeLiteral(syncTime) +
         ", WooID = '', OnlineSales = 0 Where WooID = " + SqlTextLiteral(wooId) + ";";
}

std::string CategoryTranslationStatement(const std::string& originalWooId, int slot,
                                         const std::string& translationId) {
  return "Update Category Set " + Column("Translate", slot) + " = " + SqlTextLiteral(translationId) +
         " Where WooID = " + SqlTextLiteral(originalWooId) + ";";
}

std::string ProductCreatedStatement(const std::string& productCode, const std::string& wooId, bool synced,
                                    TDateTime syncTime, const std::vector<TVariationId>& variations) {
  std::string sql = "Update ProductExtend Set WooID = " + SqlTextLiteral(wooId);
  if (synced) sql += ", " + SyncTimes(syncTime);
  if (!variations.empty()) sql += "," + VariationItems(variations);
  return sql + " Where ProductCode = " + SqlTextLiteral(productCode) + ";";
}

std::string ProductUpdatedStatement(const std::string& wooId, bool synced, TDateTime syncTime,
                                    const std::vector<TVariationId>& variations) {
  std::string set = synced ? SyncTimes(syncTime) : std::string();
  if (!variations.empty()) set += (set.empty() ? "" : ",") + VariationItems(variations);
  if (set.empty()) return "";
  return "Update ProductExtend Set " + set + " Where WooID = " + SqlTextLiteral(wooId) + ";";
}

std::string ProductDeletedStatement(const std::string& wooId, TDateTime syncTime) {
  return "Update ProductExtend Set " + SyncTimes(syncTime) +
         ", WooID = '', WooVarID1 = '', WooVarID2 = '', WooVarID3 = '', WooVarID4 = '', WooVarID5 = '', "
         "WooVarID6 = '' Where WooID = " +
         SqlTextLiteral(wooId) + ";";
}

std::vector<std::string> ProductTranslationDeletedStatements(const std::string& translationId) {
  std::vector<std::string> out;
  for (int n = 1; n <= 3; ++n) {
    const std::string column = Column("Translate", n);
    out.push_back("Update ProductExtend Set " + column + " = '' Where " + column + " = " +
                  SqlTextLiteral(translationId) + ";");
  }
  return out;
}

std::string ProductTranslationStatement(const std::string& productCode, int slot, const std::string& translationId) {
  return "Update ProductExtend Set " + Column("Translate", slot) + " = " + SqlTextLiteral(translationId) +
         " Where ProductCode = " + SqlTextLiteral(productCode) + ";";
}

std::string StockSyncedStatement(const std::string& wooId, TDateTime syncTime) {
  return "Update ProductExtend Set LastStockSyncedAt = " + SqlDateTimeLiteral(syncTime) + " Where WooID = " +
         SqlTextLiteral(wooId) + ";";
}

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
    const std::string column = Column("WooVarID", level);
    out.push_back("Update ProductExtend Set " + column + " = '', LastSyncedAt = Null Where WooID = " +
                  SqlTextLiteral(productId) + " And " + column + " = " + SqlTextLiteral(variationId) + ";");
  }
  return out;
}

}  // namespace ooa
