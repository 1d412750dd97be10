#include "ShopRequest.h"

#include "StandinJson.h"

namespace ooa::standin {

const std::string* TShopRequest::QueryValue(const std::string& name) const {
  const std::string* value = nullptr;
  for (const auto& [k, v] : Query) {
    if (k == name) value = &v;
  }
  return value;
}

TShopResponse JsonError(int status, const std::string& code, const std::string& message) {
  TShopResponse response;
  response.Status = status;
  response.Body = ErrorBody(code, message, status);
  return response;
}

}  // namespace ooa::standin
