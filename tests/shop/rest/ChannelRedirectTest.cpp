// Redirects: the channel follows those that stay in the shop, signing each
// request for its own URL, and fails the request on any that leaves it, so
// that nothing signed, no batch body and no answer goes to another server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "shop/rest/OAuth1.h"
#include "shop/rest/Redirects.h"
#include "shop/rest/RestChannel.h"
#include "shop/rest/ChannelLoopback.h"

namespace ooa {
namespace {

using test::TChannelLogCapture;
using test::TLoopbackServer;

TEST(Redirects, OnlyTheShopsOwnHostSchemeAndPortOrAnUpgradeToHttps) {
  struct TCase {
    const char* Shop;
    const char* Target;
    bool Allowed;
  };
  const TCase cases[] = {
      {"http://shop.example/wp-json/wc/v3", "http://shop.example/other/orders", true},
      {"http://shop.example/wp-json/wc/v3", "http://SHOP.example:80/x", true},
      {"http://shop.example/wp-json/wc/v3", "https://shop.example/wp-json/wc/v3/orders", true},
      {"http://shop.example:8080/wp-json/wc/v3", "https://shop.example:8080/x", true},
      {"http://shop.example:8080/wp-json/wc/v3", "https://shop.example:8443/x", false},
      {"https://shop.example/wp-json/wc/v3", "http://shop.example/wp-json/wc/v3/orders", false},
      {"https://shop.example/wp-json/wc/v3", "https://shop.example:444/x", false},
      {"https://shop.example/wp-json/wc/v3", "https://evil.example/wp-json/wc/v3/orders", false},
      {"https://shop.example/wp-json/wc/v3", "https://shop.example.evil.example/x", false},
      {"https://shop.example/wp-json/wc/v3", "https://shop.example@evil.example/x", false},
      {"https://shop.example/wp-json/wc/v3", "ftp://shop.example/x", false},
      {"http://[::1]:8080/wp-json/wc/v3", "http://[::1]:8080/x", true},
      {"http://[::1]:8080/wp-json/wc/v3", "http://[::2]:8080/x", false},
  };
  for (const TCase& c : cases) EXPECT_EQ(RedirectStaysInShop(c.Shop, c.Target), c.Allowed) << c.Shop << " -> " << c.Target;
}

TEST(Redirects, ALocationIsReadAgainstTheRequestsUrl) {
  const std::string from = "http://shop.example:8080/wp-json/wc/v3/orders?page=1";
  struct TCase {
    const char* Location;
    const char* Resolved;
  };
  const TCase cases[] = {
      {"https://other.example/a", "https://other.example/a"},
      {"//other.example/a?b=1", "http://other.example/a?b=1"},
      {"/shop/wp-json/wc/v3/orders?page=1", "http://shop.example:8080/shop/wp-json/wc/v3/orders?page=1"},
      {"orders-moved", "http://shop.example:8080/wp-json/wc/v3/orders-moved"},
      {"../v2/orders?x=a%20b", "http://shop.example:8080/wp-json/wc/v2/orders?x=a%20b"},
  };
  for (const TCase& c : cases) EXPECT_EQ(ResolveLocation(from, c.Location), c.Resolved) << c.Location;
}

std::string BaseOf(const std::string& host, int port) {
  return "http://" + host + ":" + std::to_string(port) + "/wp-json/wc/v3";
}

// True when the request carries a valid signature for the path and query it was sent to.
bool SignedForItsOwnUrl(const test::TSeenRequest& seen, int port, const std::string& secret) {
  oauth::TParams params(seen.Params.begin(), seen.Params.end());
  std::string signature;
  for (const auto& [name, value] : oauth::ParseAuthorizationHeader(seen.Header("Authorization"))) {
    if (name == "oauth_signature")
      signature = value;
    else
      params.emplace_back(name, value);
  }
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + seen.Path;
  return !signature.empty() && oauth::Sign(seen.Method, url, params, secret) == signature;
}

TEST(RedirectsOnTheWire, WithinTheShopTheRequestIsSignedAgainAndFollowed) {
  TChannelLogCapture log;
  TLoopbackServer server([](const httplib::Request& req, httplib::Response& res) {
    if (req.path == "/wp-json/wc/v3/products/batch") {
      res.status = 307;
      res.set_header("Location", "/shop/wp-json/wc/v3/products/batch?lang=en");
    } else {
      res.set_content(R"({"create": []})", "application/json");
    }
  });
  TRestChannel channel(CreateHttpTransport());
  channel.SetCredentials(BaseOf("127.0.0.1", server.PortNumber()), "ck", "cs_redirect");
  channel.SetResource("products/batch");
  channel.SetMethod("POST");
  channel.AddJsonBody(R"({"create":[{"name":"Tea"}]})");
  channel.Execute();
  EXPECT_EQ(channel.StatusCode(), 200);
  const auto seen = server.Requests();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].Method, "POST");
  EXPECT_EQ(seen[1].Path, "/shop/wp-json/wc/v3/products/batch");
  EXPECT_EQ(seen[1].Body, R"({"create":[{"name":"Tea"}]})");
  EXPECT_TRUE(SignedForItsOwnUrl(seen[0], server.PortNumber(), "cs_redirect"));
  EXPECT_TRUE(SignedForItsOwnUrl(seen[1], server.PortNumber(), "cs_redirect"));
  const auto lines = log.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Redirected to: http://127.0.0.1:" + std::to_string(server.PortNumber()) +
                          "/shop/wp-json/wc/v3/products/batch?lang=en"),
            lines.end());
}

// The other host is the same loopback server under another name: whatever
// it received after the redirect would have gone elsewhere.
TEST(RedirectsOnTheWire, ToAnotherHostTheRequestFailsNamingWhereItPointed) {
  struct TCase {
    int Status;
    const char* Method;
  };
  for (const TCase c : {TCase{302, "GET"}, TCase{307, "POST"}, TCase{308, "POST"}, TCase{301, "GET"}}) {
    SCOPED_TRACE(c.Status);
    int port = 0;
    TLoopbackServer server([&c, &port](const httplib::Request& req, httplib::Response& res) {
      if (req.get_header_value("Host").rfind("127.0.0.1", 0) == 0) {
        res.status = c.Status;
        res.set_header("Location", "http://localhost:" + std::to_string(port) + "/wp-json/wc/v3/orders");
      } else {
        res.set_content("[]", "application/json");
      }
    });
    port = server.PortNumber();
    TRestChannel channel(CreateHttpTransport());
    channel.SetCredentials(BaseOf("127.0.0.1", port), "ck", "cs");
    channel.SetResource("orders");
    channel.SetMethod(c.Method);
    if (std::string(c.Method) == "POST") channel.AddJsonBody(R"({"create":[{"name":"Tea"}]})");
    try {
      channel.Execute();
      ADD_FAILURE() << "followed";
    } catch (const TRestError& e) {
      EXPECT_EQ(std::string(e.what()), "REST request failed: the shop redirected it to http://localhost:" +
                                           std::to_string(port) + "/wp-json/wc/v3/orders, which is not the shop's own "
                                           "host (" + BaseOf("127.0.0.1", port) + ")");
    }
    EXPECT_EQ(server.Requests().size(), 1u);
  }
}

}  // namespace
}  // namespace ooa
