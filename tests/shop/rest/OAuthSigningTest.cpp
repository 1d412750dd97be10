// OAuth 1.0a signing: the published example vectors and a table of requests
// whose base strings were written out by hand and whose signatures were
// computed with the openssl command-line tool.
#include <gtest/gtest.h>

#include <set>

#include "shop/rest/OAuth1.h"

namespace ooa::oauth {
namespace {

std::string Find(const TParams& params, const std::string& name) {
  for (const auto& [n, v] : params) {
    if (n == name) return v;
  }
  return "<absent>";
}

// RFC 5849, section 3.4.1.1: query, form body and protocol parameters with
// duplicate names, empty values and reserved characters.
TEST(OAuthSigning, Rfc5849BaseStringExample) {
  TParams params = {
      {"b5", "=%3D"}, {"a3", "a"}, {"c@", ""}, {"a2", "r b"},  // query
      {"c2", ""}, {"a3", "2 q"},                                // form body
      {"oauth_consumer_key", "9djdj82h48djs9d2"}, {"oauth_token", "kkk9d7dh3k39sjv7"},
      {"oauth_signature_method", "HMAC-SHA1"}, {"oauth_timestamp", "137131201"},
      {"oauth_nonce", "7d8f3e4a"},
  };
  EXPECT_EQ(SignatureBaseString("post", "http://example.com/request?b5=%3D%253D&a3=a&c%40=&a2=r%20b", params),
            "POST&http%3A%2F%2Fexample.com%2Frequest&a2%3Dr%2520b%26a3%3D2%2520q%26a3%3Da%26b5%3D%253D%25253D%26"
            "c%2540%3D%26c2%3D%26oauth_consumer_key%3D9djdj82h48djs9d2%26oauth_nonce%3D7d8f3e4a%26"
            "oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D137131201%26oauth_token%3Dkkk9d7dh3k39sjv7");
}

// The photos example of the OAuth 1.0 protocol (the same algorithm RFC 5849
// standardised), signed with consumer secret & token secret.
TEST(OAuthSigning, PhotosExampleSignature) {
  TParams params = {
      {"file", "vacation.jpg"}, {"size", "original"},
      {"oauth_consumer_key", "dpf43f3p2l4k3l03"}, {"oauth_token", "nnch734d00sl2jdk"},
      {"oauth_signature_method", "HMAC-SHA1"}, {"oauth_timestamp", "1191242096"},
      {"oauth_nonce", "kllo9940pd9333jh"}, {"oauth_version", "1.0"},
  };
  std::string base = SignatureBaseString("GET", "http://photos.example.net/photos", params);
  EXPECT_EQ(base,
            "GET&http%3A%2F%2Fphotos.example.net%2Fphotos&file%3Dvacation.jpg%26oauth_consumer_key%3Ddpf43f3p2l4k3l03"
            "%26oauth_nonce%3Dkllo9940pd9333jh%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1191242096"
            "%26oauth_token%3Dnnch734d00sl2jdk%26oauth_version%3D1.0%26size%3Doriginal");
  EXPECT_EQ(HmacSha1Base64("kd94hf93k423kf44&pfkkdhi9sl3r4s00", base), "tR3+Ty81lMeYAr/Fid0kMTYa/WM=");
}

struct TSignCase {
  const char* Name;
  const char* Method;
  const char* Url;
  TParams Query;
  const char* Secret;
  std::string BaseString;
  const char* Signature;
};

const char* const Protocol =
    "oauth_consumer_key%3Dck_test%26oauth_nonce%3Dabc%26oauth_signature_method%3DHMAC-SHA1%26"
    "oauth_timestamp%3D1700000000%26oauth_version%3D1.0";

TEST(OAuthSigning, HeaderTable) {
  const std::string p = Protocol;
  const std::vector<TSignCase> cases = {
      {"scheme and host lower-cased, port 80 dropped, query sorted around the protocol parameters", "GET",
       "HTTP://Shop.Example.COM:80/wp-json/wc/v3/orders",
       {{"per_page", "100"}, {"orderby", "id"}, {"modified_after", "2024-01-02T03:04:05"}}, "cs_test",
       "GET&http%3A%2F%2Fshop.example.com%2Fwp-json%2Fwc%2Fv3%2Forders&modified_after%3D2024-01-02T03%253A04%253A05%26" +
           p + "%26orderby%3Did%26per_page%3D100", "tvPFSBUMUdTkvQJspP9KDCk0Hf4="},
      {"port and path prefix kept, POST without query", "POST",
       "https://shop.example.com:8443/sub/wp-json/wc/v3/products/batch", {}, "cs_test",
       "POST&https%3A%2F%2Fshop.example.com%3A8443%2Fsub%2Fwp-json%2Fwc%2Fv3%2Fproducts%2Fbatch&" + p,
       "Cfe5Q4hV+kLC0SSE5j66dz7z7oM="},
      {"blanks, reserved and non-ASCII characters in query names and values", "GET",
       "http://127.0.0.1:8080/wp-json/wc/v3/products", {{"search", "a b&c=d/\xC3\xA9+"}, {"x[y]", "1"}},
       "cs_test",
       "GET&http%3A%2F%2F127.0.0.1%3A8080%2Fwp-json%2Fwc%2Fv3%2Fproducts&" + p +
           "%26search%3Da%2520b%2526c%253Dd%252F%25C3%25A9%252B%26x%255By%255D%3D1", "1Z75Qng6V4b/ES2cdZLw1Cf+hCQ="},
      {"port 443 dropped, reserved characters in the secret", "GET",
       "https://Shop.example.com:443/wp-json/wc/v3/orders/12/refunds", {}, "s&e=c r",
       "GET&https%3A%2F%2Fshop.example.com%2Fwp-json%2Fwc%2Fv3%2Forders%2F12%2Frefunds&" + p,
       "QLjiJ3fC0EIJb+h5hsxb+YTcPBw="},
  };

  for (const TSignCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::string header = AuthorizationHeader(c.Method, c.Url, c.Query, "ck_test", c.Secret, "abc", "1700000000");
    ASSERT_EQ(header.rfind("OAuth ", 0), 0u) << header;
    TParams sent = ParseAuthorizationHeader(header);

    // Exactly the six protocol parameters travel in the header, nothing of the query.
    std::set<std::string> names;
    for (const auto& [n, v] : sent) names.insert(n);
    EXPECT_EQ(names, (std::set<std::string>{"oauth_consumer_key", "oauth_nonce", "oauth_signature",
                                            "oauth_signature_method", "oauth_timestamp", "oauth_version"}));
    EXPECT_EQ(Find(sent, "oauth_signature"), c.Signature);

    // The verifying side rebuilds the same base string from what was sent.
    TParams all = c.Query;
    for (const auto& kv : sent) {
      if (kv.first != "oauth_signature") all.push_back(kv);
    }
    EXPECT_EQ(SignatureBaseString(c.Method, c.Url, all), c.BaseString);
    EXPECT_EQ(Sign(c.Method, c.Url, all, c.Secret), c.Signature);
  }
}

TEST(OAuthSigning, Sha256AndUnknownMethod) {
  TParams params = {{"oauth_consumer_key", "ck_test"}, {"oauth_nonce", "abc"},
                    {"oauth_signature_method", "HMAC-SHA1"}, {"oauth_timestamp", "1700000000"},
                    {"oauth_version", "1.0"}};
  const std::string url = "https://shop.example.com:8443/sub/wp-json/wc/v3/products/batch";
  EXPECT_EQ(Sign("POST", url, params, "cs_test", "HMAC-SHA256"), "2dBImEUhO8kjzZedQd7tU8euKlptDfi1rx8tOcoh3p4=");
  EXPECT_THROW(Sign("POST", url, params, "cs_test", "PLAINTEXT"), std::invalid_argument);
}

TEST(OAuthSigning, EncodingAndHeaderParsing) {
  EXPECT_EQ(PercentEncode("AZaz09-._~ +/%\xC3\xA9"), "AZaz09-._~%20%2B%2F%25%C3%A9");
  EXPECT_EQ(PercentDecode("a+b%20c%2Bd%zz%4"), "a b c+d%zz%4");

  // Quoted and unquoted values, a realm that is not a protocol parameter, odd
  // spacing, and a signature whose '+' arrives already decoded.
  TParams parsed = ParseAuthorizationHeader(
      "OAuth realm=\"Example\",oauth_consumer_key=\"ck%20x\",  oauth_nonce=n1 , oauth_signature=\"a%2Bb%3D\","
      " oauth_token=\"c+d=\"");
  EXPECT_EQ(parsed, (TParams{{"oauth_consumer_key", "ck x"}, {"oauth_nonce", "n1"}, {"oauth_signature", "a+b="},
                             {"oauth_token", "c+d="}}));
  EXPECT_TRUE(ParseAuthorizationHeader("Basic abc").empty());

  std::string n1 = NewNonce(), n2 = NewNonce();
  EXPECT_EQ(n1.size(), 32u);
  EXPECT_NE(n1, n2);
}

}  // namespace
}  // namespace ooa::oauth
