// TStandinHarness: one stand-in shop server run in-process on a free loopback port
// (its own serving thread), and a client that signs shop requests with OAuth 1.0a
// like the adaptor does. Test thread only; the harness owns the server.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include <httplib.h>
#include <rapidjson/document.h>

#include "StandinServer.h"

namespace ooa::standin::test {

inline const char* const kKey = "ck_test";
inline const char* const kSecret = "cs_test";
inline const char* const kReadOnlyKey = "ck_read";

TStandinConfig HarnessConfig();

class TStandinHarness {
 public:
  // With config.CertFile the server speaks HTTPS; caFile is what the harness's
  // clients trust then (verification is always on).
  explicit TStandinHarness(TStandinConfig config = HarnessConfig(), std::string caFile = "");
  ~TStandinHarness();

  std::string Origin() const { return Server->Origin(); }
  std::string ApiUrl(const std::string& resource) const { return Origin() + kApiPrefix + resource; }

  // Signed shop requests (HMAC-SHA1, fresh nonce, current timestamp).
  httplib::Result Get(const std::string& resource, const oauth::TParams& query = {},
                      const std::string& key = kKey, const std::string& secret = kSecret);
  httplib::Result Post(const std::string& resource, const std::string& json,
                       const std::string& key = kKey, const std::string& secret = kSecret);
  // A request as given: target is path plus query; authorization "" sends none.
  httplib::Result Raw(const std::string& method, const std::string& target,
                      const std::string& authorization, const std::string& body = "");

  // Admin interface; the answer must be 2xx.
  std::string AdminGet(const std::string& path);
  std::string AdminPost(const std::string& path, const std::string& body);

  static std::string Target(const std::string& resource, const oauth::TParams& query);

 private:
  std::unique_ptr<httplib::Client> Client() const;

  std::unique_ptr<TStandinServer> Server;
  std::string CaFile;
  std::thread Serving;
};

rapidjson::Document ParsedBody(const httplib::Result& result);
// The "code" of an error answer, or of a batch element's "error"; "" when none.
std::string ErrorCode(const rapidjson::Value& value);

}  // namespace ooa::standin::test
