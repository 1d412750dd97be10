// The REST channel over the platform's transport against loopback servers:
// what goes on the wire, the log lines, 4xx answers handed back, 5xx and
// transport failures raised, the read time-out, and TLS verification with and
// without an extra CA (on Windows: a CA file refused).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "shop/rest/OAuth1.h"
#include "shop/rest/RestChannel.h"
#include "shop/rest/ChannelLoopback.h"

namespace ooa {
namespace {

using test::TChannelLogCapture;
using test::TLoopbackServer;
using test::ContainsRegex;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using test::MatchesRegex;
using ::testing::StartsWith;

std::string BaseOf(int port, const std::string& scheme = "http") {
  return scheme + "://127.0.0.1:" + std::to_string(port) + "/wp-json/wc/v3";
}

std::string Find(const oauth::TParams& params, const std::string& name) {
  for (const auto& [n, v] : params) {
    if (n == name) return v;
  }
  return "";
}

TEST(RestChannelWire, SignedGetReplacesParametersAndLogsEachRequest) {
  TChannelLogCapture log;
  TLoopbackServer server([](const httplib::Request&, httplib::Response& res) {
    res.set_header("X-WP-Total", "1");
    res.set_content(R"([{"id":7,"total":"12.10"}])", "application/json");
  });
  TRestChannel channel(CreateHttpTransport());
  channel.SetCredentials(BaseOf(server.PortNumber()), "ck_test", "cs_secret_value");
  channel.SetResource("orders");
  channel.SetMethod("GET");
  channel.AddParameter("per_page", "10");
  channel.AddParameter("modified_after", "2024-01-02T03:04:05");
  channel.Execute();
  channel.AddParameter("per_page", "100");
  channel.Execute();

  auto seen = server.Requests();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].Path, "/wp-json/wc/v3/orders");
  EXPECT_EQ(seen[1].Params.count("per_page"), 1u);
  EXPECT_EQ(seen[1].Params.find("per_page")->second, "100");
  EXPECT_EQ(seen[1].Params.find("modified_after")->second, "2024-01-02T03:04:05");
  EXPECT_EQ(seen[1].Header("Accept"), "application/json, text/plain; q=0.9, text/html;q=0.8,");
  EXPECT_EQ(seen[1].Header("Accept-Charset"), "UTF-8, *;q=0.8");

  // The header carries a signature over the query as sent, and a fresh nonce each time.
  std::set<std::string> nonces;
  for (const auto& request : seen) {
    oauth::TParams sent = oauth::ParseAuthorizationHeader(request.Header("Authorization"));
    ASSERT_EQ(sent.size(), 6u) << request.Header("Authorization");
    EXPECT_EQ(Find(sent, "oauth_consumer_key"), "ck_test");
    EXPECT_EQ(Find(sent, "oauth_version"), "1.0");
    nonces.insert(Find(sent, "oauth_nonce"));
    oauth::TParams all(request.Params.begin(), request.Params.end());
    for (const auto& kv : sent) {
      if (kv.first != "oauth_signature") all.push_back(kv);
    }
    EXPECT_EQ(oauth::Sign("GET", "http://127.0.0.1:" + std::to_string(server.PortNumber()) + request.Path, all,
                          "cs_secret_value"),
              Find(sent, "oauth_signature"));
  }
  EXPECT_EQ(nonces.size(), 2u);

  const std::string uri = "^URI: http://127\\.0\\.0\\.1:[0-9]+/wp-json/wc/v3/orders\\?";
  EXPECT_THAT(log.Lines(),
              ElementsAre(MatchesRegex(uri + "per_page=10&modified_after=2024-01-02T03%3A04%3A05 Execution time: [0-9]+ms"),
                          "orders",
                          MatchesRegex(uri + "modified_after=2024-01-02T03%3A04%3A05&per_page=100 Execution time: [0-9]+ms"),
                          "orders"));
  for (const auto& line : log.Lines()) EXPECT_THAT(line, ::testing::Not(HasSubstr("oauth_")));

  EXPECT_EQ(channel.StatusCode(), 200);
  EXPECT_EQ(channel.StatusText(), "OK");
  EXPECT_EQ(channel.ResponseHeader("x-wp-total"), "1");
  const rapidjson::Document* json = channel.JsonValue();
  ASSERT_NE(json, nullptr);
  ASSERT_TRUE(json->IsArray());
  EXPECT_STREQ((*json)[0]["total"].GetString(), "12.10");
}

TEST(RestChannelWire, PostSendsJsonBodyAndKeepsTheDoubledSlash) {
  TChannelLogCapture log;
  TLoopbackServer server([](const httplib::Request& req, httplib::Response& res) {
    res.set_content(R"({"create":[]})", "application/json");
  });
  TRestChannel channel(CreateHttpTransport());
  channel.SetCredentials(BaseOf(server.PortNumber()) + "/", "ck", "cs");
  channel.SetResource("products/batch");
  channel.SetMethod("POST");
  channel.ClearBody();
  channel.AddJsonBody(R"({"create":[{"name":"Tea"}]})");
  channel.Execute();

  auto seen = server.Requests();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].Method, "POST");
  EXPECT_EQ(seen[0].Path, "/wp-json/wc/v3//products/batch");
  EXPECT_EQ(seen[0].Body, R"({"create":[{"name":"Tea"}]})");
  EXPECT_EQ(seen[0].Header("Content-Type"), "application/json");
  EXPECT_THAT(seen[0].Header("Authorization"), StartsWith("OAuth "));
  EXPECT_THAT(log.Lines(), ElementsAre(MatchesRegex("^URI: .*/wp-json/wc/v3//products/batch Execution time: [0-9]+ms"),
                                       "products/batch"));
}

TEST(RestChannelWire, FollowsRedirectsKeepsCookiesAndTheConnection) {
  TLoopbackServer server([](const httplib::Request& req, httplib::Response& res) {
    if (req.path == "/wp-json/wc/v3/orders") {
      res.set_header("Set-Cookie", "shop_session=abc123; Path=/");
      res.set_redirect("/wp-json/wc/v3/orders-moved");
    } else {
      res.set_content("[]", "application/json");
    }
  });
  TRestChannel channel(CreateHttpTransport());
  channel.SetCredentials(BaseOf(server.PortNumber()), "ck", "cs");
  channel.SetResource("orders");
  channel.Execute();
  EXPECT_EQ(channel.StatusCode(), 200);
  EXPECT_EQ(channel.Content(), "[]");
  channel.SetResource("orders/1/refunds");
  channel.Execute();

  auto seen = server.Requests();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[1].Path, "/wp-json/wc/v3/orders-moved");
  EXPECT_EQ(seen[2].Path, "/wp-json/wc/v3/orders/1/refunds");
  EXPECT_THAT(seen[2].Header("Cookie"), HasSubstr("shop_session=abc123"));
  EXPECT_EQ(seen[2].RemotePort, seen[0].RemotePort);  // one kept-alive connection
}

TEST(RestChannelWire, ClientErrorIsHandedBackAfterItsLogLines) {
  TChannelLogCapture log;
  TLoopbackServer server([](const httplib::Request&, httplib::Response& res) {
    res.status = 403;
    res.set_content("<html>denied</html>", "text/html");
  });
  TRestChannel channel(CreateHttpTransport());
  channel.SetCredentials(BaseOf(server.PortNumber()), "ck", "cs");
  channel.SetResource("orders/5/refunds");
  EXPECT_NO_THROW(channel.Execute());
  EXPECT_EQ(channel.StatusCode(), 403);
  EXPECT_EQ(channel.Content(), "<html>denied</html>");
  EXPECT_EQ(channel.JsonValue(), nullptr);  // not JSON
  EXPECT_THAT(log.Lines(), ElementsAre("Forbidden", "<html>denied</html>",
                                       MatchesRegex("^URI: .*/orders/5/refunds Execution time: [0-9]+ms"),
                                       "orders/5/refunds"));
}

TEST(RestChannelWire, ServerErrorRaisesWithTheShopsMessage) {
  TChannelLogCapture log;
  TLoopbackServer server([](const httplib::Request&, httplib::Response& res) {
    res.status = 500;
    res.set_content(R"({"code":"internal_error","message":"Database connection lost","data":{"status":500}})",
                    "application/json");
  });
  TRestChannel channel(CreateHttpTransport());
  channel.SetCredentials(BaseOf(server.PortNumber()), "ck", "cs");
  channel.SetResource("orders");
  try {
    channel.Execute();
    FAIL() << "a 500 answer must raise";
  } catch (const TRestError& e) {
    EXPECT_THAT(e.what(), HasSubstr("500"));
    EXPECT_THAT(e.what(), HasSubstr("Database connection lost"));
  }
  // No protocol-error lines: only the request line and the resource.
  EXPECT_THAT(log.Lines(), ElementsAre(StartsWith("URI: "), "orders"));
}

TEST(RestChannelWire, TransportFailuresRaiseAndWriteNothing) {
  test::TSilentListener silent;
  struct TCase {
    const char* Name;
    std::string BaseUrl;
    const char* Cause;  // a part of the message after the prefix
  } cases[] = {
      {"connection refused", BaseOf(test::ClosedLoopbackPort()), "127.0.0.1"},
      {"server never answers", BaseOf(silent.PortNumber()), "timed out"},
      {"no shop URL configured", "", "no shop URL"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TChannelLogCapture log;
    TRestChannel channel(CreateHttpTransport("", 300));
    channel.SetCredentials(c.BaseUrl, "ck", "cs");
    channel.SetResource("orders");
    try {
      channel.Execute();
      ADD_FAILURE() << "expected a transport failure";
    } catch (const TRestError& e) {
      EXPECT_THAT(e.what(), StartsWith("REST request failed: "));
      EXPECT_THAT(e.what(), HasSubstr(c.Cause));
    }
    EXPECT_TRUE(log.Lines().empty());
  }
}

#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
// A self-signed certificate for 127.0.0.1, made fresh for the test run.
class RestChannelTls : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Dir = std::filesystem::temp_directory_path() / ("ooa-channel-tls-" + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
    std::string cmd = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1"
                      " -addext subjectAltName=IP:127.0.0.1 -keyout '" +
                      (Dir / "key.pem").string() + "' -out '" + (Dir / "cert.pem").string() + "' 2>/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(Dir); }
  static std::string Cert() { return (Dir / "cert.pem").string(); }
  static std::string Key() { return (Dir / "key.pem").string(); }
  static inline std::filesystem::path Dir;
};

TEST_F(RestChannelTls, SelfSignedShopNeedsItsCaConfigured) {
  TLoopbackServer server([](const httplib::Request&, httplib::Response& res) { res.set_content("[]", "application/json"); },
                         Cert(), Key());
  const std::string base = BaseOf(server.PortNumber(), "https");

  TRestChannel untrusting(CreateHttpTransport());
  untrusting.SetCredentials(base, "ck", "cs");
  untrusting.SetResource("orders");
  EXPECT_THROW(
      try { untrusting.Execute(); } catch (const TRestError& e) {
        EXPECT_THAT(e.what(), StartsWith("REST request failed: "));
        throw;
      },
      TRestError);

  TRestChannel trusting(CreateHttpTransport(Cert()));
  trusting.SetCredentials(base, "ck", "cs");
  trusting.SetResource("orders");
  ASSERT_NO_THROW(trusting.Execute());
  EXPECT_EQ(trusting.StatusCode(), 200);
  EXPECT_EQ(server.Requests().size(), 1u);  // the refused handshake never reached the handler

  TRestChannel missingCa(CreateHttpTransport((Dir / "absent.pem").string()));
  missingCa.SetCredentials(base, "ck", "cs");
  missingCa.SetResource("orders");
  EXPECT_THROW(
      try { missingCa.Execute(); } catch (const TRestError& e) {
        EXPECT_THAT(e.what(), HasSubstr("absent.pem"));
        throw;
      },
      TRestError);
}
#endif

#ifdef _WIN32
// On Windows the shop's certificate is checked against the Windows
// certificate store alone: a CA file is refused, never silently ignored, and
// nothing is sent.
TEST(RestChannelTls, ACaFileIsRefusedBeforeAnythingIsSent) {
  TLoopbackServer server([](const httplib::Request&, httplib::Response& res) { res.set_content("[]", "application/json"); });
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "ooa-channel-ca.pem";
  std::ofstream(file) << "-----BEGIN CERTIFICATE-----\n-----END CERTIFICATE-----\n";
  struct TCase {
    std::string CaFile;
    const char* Cause;
  } cases[] = {
      {file.string(), "add its certificate to the Windows certificate store"},
      {(file.parent_path() / "absent.pem").string(), "cannot be read"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.CaFile);
    TRestChannel channel(CreateHttpTransport(c.CaFile));
    channel.SetCredentials(BaseOf(server.PortNumber()), "ck", "cs");
    channel.SetResource("orders");
    try {
      channel.Execute();
      ADD_FAILURE() << "expected a refusal";
    } catch (const TRestError& e) {
      EXPECT_THAT(e.what(), StartsWith("REST request failed: the CA file '" + c.CaFile + "'"));
      EXPECT_THAT(e.what(), HasSubstr(c.Cause));
    }
  }
  EXPECT_TRUE(server.Requests().empty());
  std::filesystem::remove(file);
}
#endif

}  // namespace
}  // namespace ooa
