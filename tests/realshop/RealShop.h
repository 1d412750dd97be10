// What the real-shop tests share: the shop named by the environment (WOO_URL,
// WOO_KEY, WOO_SECRET; WOO_TLS_URL and WOO_CA_FILE for HTTPS), a signed REST
// client on the adaptor's own channel (so requests are signed as the service
// signs them), and a tag that makes this run's codes and names unique in a
// shop that already holds earlier runs' objects. Test thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <rapidjson/document.h>

#include "shop/woo/BatchList.h"  // MemberText
#include "shop/rest/RestChannel.h"

namespace ooa::test {

struct TShopAddress {
  std::string Url, Key, Secret;
  std::string TlsUrl, CaFile;  // empty: no HTTPS
};

// The shop of the environment, or nullopt when WOO_URL, WOO_KEY or WOO_SECRET is missing.
std::optional<TShopAddress> RealShopAddress();

// Skips the calling test (GTEST_SKIP) unless the environment names a shop.
#define OOA_REQUIRE_REAL_SHOP(address)                                                    \
  auto address##Found = RealShopAddress();                                                \
  if (!address##Found) GTEST_SKIP() << "WOO_URL, WOO_KEY and WOO_SECRET name no shop"; \
  const TShopAddress address = *address##Found

// One answer: status (0 when the request failed: the error is in Body) and
// the body, parsed when it is JSON.
struct TShopAnswer {
  int Status = 0;
  std::string Body;
  rapidjson::Document Json;  // null when the body is not JSON
  std::string Header(const std::string& name) const;
  std::vector<std::pair<std::string, std::string>> Headers;
};

// OAuth-signed requests to one shop on a channel of the adaptor's kind
// (libcurl, caFile trusted besides the system store).
class TShopClient {
 public:
  TShopClient(const std::string& baseUrl, const std::string& key, const std::string& secret,
              const std::string& caFile = "");
  TShopAnswer Get(const std::string& resource, const std::vector<std::pair<std::string, std::string>>& query = {});
  TShopAnswer Post(const std::string& resource, const std::string& json);
  // Every page of a collection (per_page 100), as one array.
  rapidjson::Document All(const std::string& resource,
                          std::vector<std::pair<std::string, std::string>> query = {});

 private:
  TShopAnswer Send();
  std::unique_ptr<TRestChannel> Channel;
};

// Letters and digits unique to this run (from the clock and the process id),
// for product codes and names: "R" + 5 characters.
const std::string& RunTag();

// The JSON text of a value; and JSON string quoting of a text.
std::string JsonOf(const rapidjson::Value& value);
std::string Quoted(const std::string& text);

}  // namespace ooa::test
