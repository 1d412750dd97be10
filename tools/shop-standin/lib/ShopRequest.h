// The stand-in's view of one HTTP request to the shop API and of its answer, free
// of the HTTP library, so the route logic can be driven directly. Plain values.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "shop/rest/OAuth1.h"

namespace ooa::standin {

struct TShopRequest {
  std::string Method;         // upper case
  std::string Path;           // the path as sent (not decoded), without the query
  std::string Resource;       // the path below /wp-json/wc/v3/, e.g. "products/batch"
  oauth::TParams Query;       // decoded query parameters in the order sent
  std::string Body;
  std::string ContentType;
  std::string Authorization;  // the Authorization header, "" when absent
  bool Tls = false;

  // The last value of a query parameter (the shop keeps the last of repeated names).
  const std::string* QueryValue(const std::string& name) const;
};

struct TShopResponse {
  int Status = 200;
  std::string Body;
  std::string ContentType = "application/json; charset=UTF-8";
  std::vector<std::pair<std::string, std::string>> Headers;
  bool Mutated = false;  // the store changed (the state file is written again)
};

TShopResponse JsonError(int status, const std::string& code, const std::string& message);

}  // namespace ooa::standin
