// Shop ids kept in the POS are texts a POS user can edit. Request paths are
// built only from the ids the shop itself answers with, so a POS id that is
// not the shop's number never sends a request anywhere else.
#include <regex>
#include <string>

#include "sync/products/ProductFixture.h"
#include "sync/catalog/CatalogueUploads.h"

namespace ooa::test {
namespace {

class HostileShopId : public TProductTest {};

TEST_F(HostileShopId, RequestsStayOnTheCatalogueRoutes) {
  SeedShop(R"([{"id": 55, "sku": "ABC", "name": "Old", "type": "variable"}])", "[]");
  TProductSeed given;
  given.Code = "ABC";
  given.MultiplePrice = true;
  given.Subs[0] = "Single";
  given.WooID = "55/../../orders?";
  given.VarIDs[0] = "1/../../../x?";
  Product(given);
  Exec("Update Category Set WooID = N'20/../../orders' Where Category = N'WINE';");

  UploadCatgories(Woo, false);
  UploadProducts(Woo);
  UploadProductsStockData(Woo);

  const std::regex allowed(R"(products/(categories/)?batch|products/[0-9]+/variations/batch)");
  const auto requests = Requests();
  EXPECT_FALSE(requests.empty());
  for (const TShopRequest& r : requests) EXPECT_TRUE(std::regex_match(r.Path, allowed)) << r.Path;
}

}  // namespace
}  // namespace ooa::test
