// The product upload tests' world: the catalogue fixture (new embedded POS
// database, stand-in shop, debug log, fixed clock) with warehouse 1, one shop
// category WINE (WooID 20, its zh-hans translation 21), and helpers to insert
// products and read back the POS link columns, the requests the shop received
// and the shop's products and variations. Test thread only.
#pragma once

#include <string>
#include <vector>

#include "sync/catalog/CatalogFixture.h"
#include "shop/woo/BatchList.h"

namespace ooa::test {

// One Product row with its ProductExtend row (unless Extend is false). Levels
// are 1..6 (arrays indexed by level - 1). Empty texts are written as Null.
struct TProductSeed {
  std::string Code;
  std::string Category = "WINE";
  bool Online = true, Live = true, OpenPrice = false, Scalable = false;
  double GSTRate = 0;
  bool GSTStatus = false;
  int DefaultSalesPrice = 0;
  bool StockControl = true, MultiplePrice = false;
  double MeasureQty = 1, Stock = 10;
  double Sales[6] = {10, 0, 0, 0, 0, 0}, OnlinePrices[6] = {};
  double Deduct[6] = {1, 1, 1, 1, 1, 1};
  std::string Subs[6];
  std::string Description = "Product", D1, D2, D3, BarCode = "9300000000001";
  bool Extend = true;
  std::string WooID, T1, T2, T3;
  std::string VarIDs[6];
};

// One request the shop received.
struct TShopRequest {
  std::string Path;  // below /wp-json/wc/v3/
  std::string Body;
};

class TProductTest : public TCatalogTest {
 protected:
  TProductTest();

  void Product(const TProductSeed& given);
  // One ProductExtend column ("" for Null, "<no row>").
  std::string Extend(const std::string& code, const std::string& column);
  // Marks a product's row (and stock) as changed after the last upload.
  void TouchProduct(const std::string& code);
  void TouchStock(const std::string& code);

  // Shop requests whose path ends with suffix ("" for all), in order.
  std::vector<TShopRequest> Requests(const std::string& suffix = "");
  // The shop's stored products / variations.
  rapidjson::Document ShopTable(const char* table);
  // The stored shop object with this id (products or variations), or null;
  // it lives in Scratch.
  rapidjson::Value Stored(const char* table, const std::string& id);
  rapidjson::Document Scratch;
  // Replaces the shop's catalogue: JSON arrays of objects with ids.
  void SeedShop(const std::string& products, const std::string& variations);
  // The next shop request whose resource matches route answers with this
  // HTTP status and body.
  void Fault(const std::string& route, int status, const std::string& body);
};

// The exact text of a member's value written after "sku": sku in a request
// body (product and variation entries put "sku" before their stock and
// price): "regular_price" of SKU A gives " 11.00". "" when not found.
std::string RawMember(const std::string& body, const std::string& sku, const std::string& member);

// A parsed JSON text (numbers kept as text).
rapidjson::Document ParseJson(const std::string& text);

}  // namespace ooa::test
