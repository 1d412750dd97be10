// The shop API routes of the stand-in: authentication first (as the shop does it,
// before it looks at the route), then the endpoint.
#include <ctime>
#include <regex>

#include "Catalogue.h"
#include "CatalogueBatch.h"
#include "Orders.h"
#include "StandinServer.h"

namespace ooa::standin {

TShopResponse TStandinServer::HandleShop(const TShopRequest& request) {
  if (request.Resource.empty() && request.Path.rfind(kApiPrefix, 0) != 0) {
    return JsonError(404, "rest_no_route", "No route was found matching the URL and request method.");
  }
  bool anonymous = false;
  if (!Config.NoAuth) {
    TAuthOutcome auth = Verifier->Verify(request, static_cast<int64_t>(std::time(nullptr)));
    if (auth.Kind == TAuthOutcome::Failed) return JsonError(auth.Status, auth.Code, auth.Message);
    anonymous = auth.Kind == TAuthOutcome::Anonymous;
  }
  return Route(request, anonymous);
}

TShopResponse TStandinServer::Route(const TShopRequest& request, bool anonymous) {
  static const std::regex orderPath(R"(^orders/(\d+)$)");
  static const std::regex refundsPath(R"(^orders/(\d+)/refunds$)");
  static const std::regex variationsPath(R"(^products/(\d+)/variations/batch$)");
  static const std::regex productPath(R"(^products/(\d+)$)");
  static const std::regex categoryPath(R"(^products/categories/(\d+)$)");
  const std::string& r = request.Resource;
  std::smatch m;
  bool get = request.Method == "GET";
  bool post = request.Method == "POST" || request.Method == "PUT" || request.Method == "PATCH";
  auto cannotView = [] { return JsonError(401, "woocommerce_rest_cannot_view", "Sorry, you cannot list resources."); };
  auto cannotBatch = [] {
    return JsonError(401, "woocommerce_rest_cannot_batch", "Sorry, you are not allowed to batch manipulate this resource.");
  };
  auto id = [&] { return std::stoll(m[1].str()); };
  // The shop reads a JSON body only when the request says it is JSON.
  bool jsonBody = request.ContentType.find("application/json") != std::string::npos ||
                  request.ContentType.find("+json") != std::string::npos;
  const std::string body = jsonBody ? request.Body : std::string();

  if (get && r == "orders") {
    if (anonymous) return cannotView();
    std::lock_guard lock(Store.Mutex);
    return ListOrders(Store, request);
  }
  if (get && std::regex_match(r, m, orderPath)) {
    if (anonymous) return cannotView();
    std::lock_guard lock(Store.Mutex);
    return GetOrder(Store, id());
  }
  if (get && std::regex_match(r, m, refundsPath)) {
    if (anonymous) return cannotView();
    std::lock_guard lock(Store.Mutex);
    return ListRefunds(Store, id(), request);
  }
  if (get && (std::regex_match(r, m, productPath) || std::regex_match(r, m, categoryPath))) {
    if (anonymous) return cannotView();
    std::lock_guard lock(Store.Mutex);
    bool category = r.rfind("products/categories/", 0) == 0;
    auto& table = category ? Store.Categories : Store.Products;
    auto it = table.find(id());
    if (it == table.end()) {
      return category ? JsonError(404, "woocommerce_rest_term_invalid", "Resource does not exist.")
                      : JsonError(404, "woocommerce_rest_product_invalid_id", "Invalid ID.");
    }
    TJson scratch;
    auto& sa = scratch.GetAllocator();
    TValue answer = category ? CategoryAnswer(it->second, sa) : ProductAnswer(it->second, sa);
    if (!category) {
      // A product's variations are the ones that name it as their parent.
      TValue variations(rapidjson::kArrayType);
      for (const auto& [vid, variation] : Store.Variations)
        if (IdOf(Member(variation, "parent_id")) == it->first) variations.PushBack(TValue(vid), sa);
      SetMember(answer, "variations", std::move(variations), sa);
    }
    TShopResponse response;
    response.Body = ToText(answer);
    return response;
  }
  if (post && r == "products/categories/batch") {
    if (anonymous) return cannotBatch();
    std::lock_guard lock(Store.Mutex);
    return CategoryBatch(Store, body);
  }
  if (post && r == "products/batch") {
    if (anonymous) return cannotBatch();
    std::lock_guard lock(Store.Mutex);
    return ProductBatch(Store, body);
  }
  if (post && std::regex_match(r, m, variationsPath)) {
    if (anonymous) return cannotBatch();
    std::lock_guard lock(Store.Mutex);
    return VariationBatch(Store, id(), body);
  }
  return JsonError(404, "rest_no_route", "No route was found matching the URL and request method.");
}

}  // namespace ooa::standin
