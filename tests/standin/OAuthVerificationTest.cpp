// OAuth 1.0a verification as the shop does it: known signatures computed outside
// this code base, and the shop's 401 answers for every kind of failure.
#include <ctime>
#include <functional>

#include <gtest/gtest.h>

#include "OAuthVerifier.h"
#include "StandinHarness.h"

namespace ooa::standin::test {
namespace {

const int64_t kStamp = 1700000000;

std::string Header(const std::string& signature, const std::string& method = "HMAC-SHA1") {
  return "OAuth oauth_consumer_key=\"ck_test\", oauth_nonce=\"abc123\", oauth_signature=\"" +
         oauth::PercentEncode(signature) + "\", oauth_signature_method=\"" + method +
         "\", oauth_timestamp=\"1700000000\", oauth_version=\"1.0\"";
}

// Signatures computed independently (Python hmac) for GET .../wp-json/wc/v3/orders with
// the query below, consumer secret cs_test, nonce abc123, timestamp 1700000000.
TEST(OAuthVerifier, AcceptsKnownSignaturesAndRefusesAnythingElse) {
  struct TCase {
    const char* Name;
    const char* Home;
    const char* Path;
    bool Tls;
    const char* Signature;
    const char* Method;
    int64_t Age;
    const char* Message;  // "" = accepted
  } cases[] = {
      {"sha1", "http://127.0.0.1:8080", "/wp-json/wc/v3/orders", false, "br4O/0nGPltr0XrllQkdxkO/+MQ=",
       "HMAC-SHA1", 60, ""},
      {"sha256", "http://127.0.0.1:8080", "/wp-json/wc/v3/orders", false,
       "2zd1yzuWTxznskERID/e0onVvavuu1d6buh/R45Fr00=", "HMAC-SHA256", 60, ""},
      {"home url with a path", "http://shop.example:8080/base/", "/base/wp-json/wc/v3/orders", false,
       "8kMhICSSgx05qND7qtnTCs7ofJw=", "HMAC-SHA1", 60, ""},
      {"scheme follows the connection", "http://127.0.0.1:8080", "/wp-json/wc/v3/orders", true,
       "+nZeU0t+kDflY3QmNWfwYTZcwZE=", "HMAC-SHA1", 60, ""},
      {"http signature over tls", "http://127.0.0.1:8080", "/wp-json/wc/v3/orders", true,
       "br4O/0nGPltr0XrllQkdxkO/+MQ=", "HMAC-SHA1", 60, "Invalid signature - provided signature does not match."},
      {"other home host", "http://localhost:8080", "/wp-json/wc/v3/orders", false, "br4O/0nGPltr0XrllQkdxkO/+MQ=",
       "HMAC-SHA1", 60, "Invalid signature - provided signature does not match."},
      {"trailing slash on the path", "http://127.0.0.1:8080", "/wp-json/wc/v3/orders/", false,
       "br4O/0nGPltr0XrllQkdxkO/+MQ=", "HMAC-SHA1", 60, "Invalid signature - provided signature does not match."},
      {"method claimed wrongly", "http://127.0.0.1:8080", "/wp-json/wc/v3/orders", false,
       "br4O/0nGPltr0XrllQkdxkO/+MQ=", "HMAC-SHA256", 60, "Invalid signature - provided signature does not match."},
      {"plaintext", "http://127.0.0.1:8080", "/wp-json/wc/v3/orders", false, "cs_test&", "PLAINTEXT", 60,
       "Invalid signature - signature method is invalid."},
      // The signature is checked before the time: a right signature that is too old.
      {"sixteen minutes old", "http://127.0.0.1:8080", "/wp-json/wc/v3/orders", false,
       "br4O/0nGPltr0XrllQkdxkO/+MQ=", "HMAC-SHA1", 16 * 60, "Invalid timestamp."},
      {"sixteen minutes ahead", "http://127.0.0.1:8080", "/wp-json/wc/v3/orders", false,
       "br4O/0nGPltr0XrllQkdxkO/+MQ=", "HMAC-SHA1", -16 * 60, "Invalid timestamp."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TOAuthVerifier verifier(c.Home, {{"ck_test", "cs_test", false}});
    TShopRequest request;
    request.Method = "GET";
    request.Path = c.Path;
    request.Tls = c.Tls;
    request.Query = {{"modified_after", "2024-03-05 03:36:59"}, {"note", "a b+c"}, {"path", "/x?y&z=1"},
                     {"per_page", "100"}};
    request.Authorization = Header(c.Signature, c.Method);
    TAuthOutcome outcome = verifier.Verify(request, kStamp + c.Age);
    if (*c.Message == '\0') {
      EXPECT_EQ(outcome.Kind, TAuthOutcome::Ok) << outcome.Message;
      // The same request again is a replay.
      outcome = verifier.Verify(request, kStamp + c.Age);
      EXPECT_EQ(outcome.Message, "Invalid nonce - nonce has already been used.");
    } else {
      EXPECT_EQ(outcome.Kind, TAuthOutcome::Failed);
      EXPECT_EQ(outcome.Message, c.Message);
      EXPECT_EQ(outcome.Code, "woocommerce_rest_authentication_error");
    }
  }
}

// Over HTTP, through the whole server: each failure is the shop's 401 answer.
TEST(OAuthOverHttp, FailuresAnswerTheShops401) {
  TStandinHarness shop;
  const std::string now = std::to_string(std::time(nullptr));
  auto signedHeader = [&](const std::string& method, const std::string& url, const oauth::TParams& query,
                          const std::string& key, const std::string& secret, const std::string& stamp) {
    return oauth::AuthorizationHeader(method, url, query, key, secret, oauth::NewNonce(), stamp);
  };
  struct TCase {
    const char* Name;
    std::function<httplib::Result()> Send;
    int Status;
    const char* Code;
    const char* Message;
  } cases[] = {
      {"signed get", [&] { return shop.Get("orders", {{"per_page", "5"}, {"note", "a b&c"}}); }, 200, "", ""},
      {"signed post", [&] { return shop.Post("products/batch", R"({"create":[{"name":"Tea"}]})"); }, 200, "", ""},
      {"wrong secret", [&] { return shop.Get("orders", {}, kKey, "cs_wrong"); }, 401,
       "woocommerce_rest_authentication_error", "Invalid signature - provided signature does not match."},
      {"unknown key", [&] { return shop.Get("orders", {}, "ck_nobody", kSecret); }, 401,
       "woocommerce_rest_authentication_error", "Consumer key is invalid."},
      {"stale timestamp",
       [&] {
         std::string stamp = std::to_string(std::time(nullptr) - 16 * 60);
         return shop.Raw("GET", TStandinHarness::Target("orders", {}),
                         signedHeader("GET", shop.ApiUrl("orders"), {}, kKey, kSecret, stamp));
       },
       401, "woocommerce_rest_authentication_error", "Invalid timestamp."},
      {"signed for another host",
       [&] {
         std::string url = "http://localhost:" + shop.Origin().substr(shop.Origin().rfind(':') + 1) +
                           "/wp-json/wc/v3/orders";
         return shop.Raw("GET", TStandinHarness::Target("orders", {}), signedHeader("GET", url, {}, kKey, kSecret, now));
       },
       401, "woocommerce_rest_authentication_error", "Invalid signature - provided signature does not match."},
      {"query not signed",
       [&] {
         return shop.Raw("GET", TStandinHarness::Target("orders", {{"page", "2"}}),
                         signedHeader("GET", shop.ApiUrl("orders"), {}, kKey, kSecret, now));
       },
       401, "woocommerce_rest_authentication_error", "Invalid signature - provided signature does not match."},
      {"some parameters missing",
       [&] { return shop.Raw("GET", "/wp-json/wc/v3/orders", R"(OAuth oauth_consumer_key="ck_test", oauth_nonce="n1")"); },
       401, "woocommerce_rest_authentication_missing_parameter",
       "Missing OAuth parameter(s) oauth_timestamp, oauth_signature, oauth_signature_method"},
      {"no credentials on a list", [&] { return shop.Raw("GET", "/wp-json/wc/v3/orders", ""); }, 401,
       "woocommerce_rest_cannot_view", "Sorry, you cannot list resources."},
      {"no credentials on a batch", [&] { return shop.Raw("POST", "/wp-json/wc/v3/products/batch", "", "{}"); }, 401,
       "woocommerce_rest_cannot_batch", "Sorry, you are not allowed to batch manipulate this resource."},
      {"read-only key reads", [&] { return shop.Get("orders", {}, kReadOnlyKey, kSecret); }, 200, "", ""},
      {"read-only key writes", [&] { return shop.Post("products/batch", "{}", kReadOnlyKey, kSecret); }, 401,
       "woocommerce_rest_authentication_error", "The API key provided does not have write permissions."},
      {"parameters in the query string",
       [&] {
         std::string header = signedHeader("GET", shop.ApiUrl("orders"), {{"per_page", "5"}}, kKey, kSecret, now);
         oauth::TParams query = {{"per_page", "5"}};
         for (const auto& p : oauth::ParseAuthorizationHeader(header)) query.push_back(p);
         return shop.Raw("GET", TStandinHarness::Target("orders", query), "");
       },
       200, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    httplib::Result result = c.Send();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, c.Status) << result->body;
    if (c.Status == 401) {
      auto body = ParsedBody(result);
      ASSERT_TRUE(body.IsObject()) << result->body;
      EXPECT_STREQ(body["code"].GetString(), c.Code);
      EXPECT_STREQ(body["message"].GetString(), c.Message);
      EXPECT_EQ(body["data"]["status"].GetInt(), 401);
    }
  }
}

TEST(OAuthOverHttp, ReplayedRequestIsRefused) {
  TStandinHarness shop;
  std::string header = oauth::AuthorizationHeader("GET", shop.ApiUrl("orders"), {}, kKey, kSecret,
                                                  oauth::NewNonce(), std::to_string(std::time(nullptr)));
  ASSERT_EQ(shop.Raw("GET", "/wp-json/wc/v3/orders", header)->status, 200);
  auto replay = shop.Raw("GET", "/wp-json/wc/v3/orders", header);
  ASSERT_TRUE(replay);
  EXPECT_EQ(replay->status, 401);
  EXPECT_NE(replay->body.find("Invalid nonce - nonce has already been used."), std::string::npos);
}

}  // namespace
}  // namespace ooa::standin::test
