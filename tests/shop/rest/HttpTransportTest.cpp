// The platform's HTTP transport on its own (libcurl on Linux, WinHTTP on
// Windows) against loopback servers: what it sends and hands back, that it
// runs the request's OnSent work while the shop works, hands redirects back
// unfollowed, keeps cookies and the connection, and fails with the same texts
// on both platforms.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "shop/rest/RestChannel.h"
#include "shop/rest/ChannelLoopback.h"

namespace ooa {
namespace {

using test::TLoopbackServer;
using ::testing::HasSubstr;
using ::testing::Pair;
using ::testing::StartsWith;

std::string UrlOf(int port, const std::string& path) { return "http://127.0.0.1:" + std::to_string(port) + path; }

std::string FailureOf(IHttpTransport& transport, const THttpRequest& request) {
  try {
    transport.Send(request);
  } catch (const TRestError& e) {
    return e.what();
  }
  return "no failure";
}

TEST(HttpTransport, SendsTheRequestAsGivenAndHandsBackStatusHeadersAndBody) {
  TLoopbackServer server([](const httplib::Request& req, httplib::Response& res) {
    // The shop works a while on a batch: the request's OnSent work runs meanwhile.
    if (req.method == "POST") std::this_thread::sleep_for(std::chrono::milliseconds(500));
    res.status = req.method == "POST" ? 201 : 404;
    res.set_header("X-WP-Total", "42");
    res.set_content(req.method == "POST" ? R"({"id":5})" : "<html>nothing</html>", "application/json");
  });
  auto transport = CreateHttpTransport("", 5000);
  struct TCase {
    std::string Method, Path, Body;
    int Status;
    const char* Reason;
    std::string Answer;
  } cases[] = {
      {"POST", "/wp-json/wc/v3//products/batch?a=1%2C2&b=%C3%A4", R"({"create":[{"name":"Tee \u00e4"}]})", 201,
       "Created", R"({"id":5})"},
      {"GET", "/wp-json/wc/v3/orders?per_page=100", "", 404, "Not Found", "<html>nothing</html>"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Method);
    THttpRequest request;
    request.Method = c.Method;
    request.Url = UrlOf(server.PortNumber(), c.Path);
    request.Headers = {{"Accept", "application/json"}, {"Authorization", "OAuth oauth_nonce=\"n1\""}};
    if (!c.Body.empty()) request.Headers.emplace_back("Content-Type", "application/json");
    request.Body = c.Body;
    int sent = 0;
    std::chrono::steady_clock::time_point sentAt;
    request.OnSent = [&] {
      ++sent;
      sentAt = std::chrono::steady_clock::now();
    };
    THttpResponse response = transport->Send(request);
    if (c.Method == "POST") {
      EXPECT_EQ(sent, 1);
      EXPECT_GE(std::chrono::steady_clock::now() - sentAt, std::chrono::milliseconds(300));  // before the answer
    } else {
      EXPECT_LE(sent, 1);  // may run: the request has left
    }

    EXPECT_EQ(response.Status, c.Status);
    EXPECT_EQ(response.StatusText, c.Reason);
    EXPECT_EQ(response.Body, c.Answer);
    EXPECT_EQ(response.Header("x-wp-total"), "42");
    EXPECT_THAT(response.Headers, ::testing::Contains(Pair("X-WP-Total", "42")));
    EXPECT_GT(response.TotalMs, 0);

    const test::TSeenRequest seen = server.Requests().back();
    EXPECT_EQ(seen.Method, c.Method);
    EXPECT_EQ(seen.Path, c.Path.substr(0, c.Path.find('?')));  // the doubled slash kept
    EXPECT_EQ(seen.Body, c.Body);
    EXPECT_EQ(seen.Header("Accept"), "application/json");
    EXPECT_EQ(seen.Header("Authorization"), "OAuth oauth_nonce=\"n1\"");
    EXPECT_EQ(seen.Header("User-Agent"), "OnlineOrderAdaptor/0.1");
  }
  // The query went out as it was encoded.
  EXPECT_EQ(server.Requests()[0].Params.find("a")->second, "1,2");
  EXPECT_EQ(server.Requests()[0].Params.find("b")->second, "\xC3\xA4");
}

TEST(HttpTransport, HandsRedirectsBackAndKeepsCookiesAndTheConnection) {
  TLoopbackServer server([](const httplib::Request& req, httplib::Response& res) {
    if (req.path == "/moved") {
      res.set_header("Set-Cookie", "shop_session=abc123; Path=/");
      res.set_redirect("/elsewhere", 302);
    } else {
      res.set_content("[]", "application/json");
    }
  });
  auto transport = CreateHttpTransport("", 5000);
  THttpRequest request;
  request.Method = "GET";
  request.Url = UrlOf(server.PortNumber(), "/moved");
  THttpResponse moved = transport->Send(request);
  EXPECT_EQ(moved.Status, 302);
  EXPECT_EQ(moved.Header("Location"), "/elsewhere");
  ASSERT_EQ(server.Requests().size(), 1u);  // not followed

  request.Url = UrlOf(server.PortNumber(), "/next");
  THttpResponse next = transport->Send(request);
  EXPECT_EQ(next.Status, 200);
  EXPECT_EQ(next.Body, "[]");
  const auto seen = server.Requests();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_THAT(seen[1].Header("Cookie"), HasSubstr("shop_session=abc123"));
  EXPECT_EQ(seen[1].RemotePort, seen[0].RemotePort);  // one kept-alive connection
}

TEST(HttpTransport, FailuresCarryTheSameTexts) {
  test::TSilentListener silent;
  // Answers its head, then stops sending before the body is complete.
  TLoopbackServer stalling([](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("application/json", [](size_t offset, httplib::DataSink& sink) {
      if (offset == 0) return sink.write("[", 1);
      std::this_thread::sleep_for(std::chrono::milliseconds(1500));
      sink.done();
      return true;
    });
  });
  const std::string noAnswer = "REST request failed: Operation timed out after 300 milliseconds with no answer";
  struct TCase {
    const char* Name;
    std::string Url;
    std::string Expected;
    bool Exact;
  } cases[] = {
      {"server never answers", UrlOf(silent.PortNumber(), "/orders"), noAnswer, true},
      {"answer stops half-way", UrlOf(stalling.PortNumber(), "/orders"), noAnswer, true},
      {"connection refused", UrlOf(test::ClosedLoopbackPort(), "/orders"), "127.0.0.1", false},
      {"not http", "ftp://127.0.0.1/orders", "ftp", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto transport = CreateHttpTransport("", 300);
    THttpRequest request;
    request.Method = "GET";
    request.Url = c.Url;
    const auto started = std::chrono::steady_clock::now();
    const std::string failure = FailureOf(*transport, request);
    if (c.Exact) {
      EXPECT_EQ(failure, c.Expected);
    } else {
      EXPECT_THAT(failure, StartsWith("REST request failed: "));
      EXPECT_THAT(failure, HasSubstr(c.Expected));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1400));
  }
}

}  // namespace
}  // namespace ooa
