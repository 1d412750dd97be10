// A shop answer nested a million levels deep (a broken proxy, a hostile
// server) must not take the service down: the channel parses it without
// recursion, and the pass sees a document, no JSON at all, or the server's
// error.
#include <gtest/gtest.h>

#include <string>

#include "shop/RestChannel.h"
#include "shop/channel_loopback.h"

namespace ooa::test {
namespace {

TEST(RestChannelDeepJson, ABodyNestedAMillionLevelsDeepIsParsedWithoutRecursion) {
  constexpr size_t kDepth = 1000000;
  std::string objects;
  for (size_t i = 0; i < kDepth; ++i) objects += "{\"a\":";
  objects += "1" + std::string(kDepth, '}');
  struct TCase {
    std::string Body;
    bool Json;
  };
  const TCase cases[] = {
      {std::string(kDepth, '[') + std::string(kDepth, ']'), true},
      {objects, true},
      {std::string(kDepth, '['), false},
  };
  for (const TCase& c : cases) {
    TLoopbackServer server([&c](const httplib::Request&, httplib::Response& res) {
      res.set_content(c.Body, "application/json");
    });
    TRestChannel channel(CreateCurlTransport());
    channel.SetCredentials("http://127.0.0.1:" + std::to_string(server.PortNumber()) + "/wp-json/wc/v3", "ck", "cs");
    channel.SetResource("orders");
    channel.Execute();
    ASSERT_EQ(channel.StatusCode(), 200);
    const rapidjson::Document* json = channel.JsonValue();
    EXPECT_EQ(json != nullptr, c.Json) << c.Body.substr(0, 10);
  }
}

TEST(RestChannelDeepJson, AServerErrorNestedAMillionLevelsDeepIsReportedAsItsText) {
  const std::string body = std::string(1000000, '[') + std::string(1000000, ']');
  TLoopbackServer server([&body](const httplib::Request&, httplib::Response& res) {
    res.status = 500;
    res.set_content(body, "application/json");
  });
  TRestChannel channel(CreateCurlTransport());
  channel.SetCredentials("http://127.0.0.1:" + std::to_string(server.PortNumber()) + "/wp-json/wc/v3", "ck", "cs");
  channel.SetResource("orders");
  try {
    channel.Execute();
    ADD_FAILURE() << "no error";
  } catch (const TRestError& e) {
    EXPECT_EQ(std::string(e.what()), "Shop error 500 Internal Server Error: " + body.substr(0, 500));
  }
}

}  // namespace
}  // namespace ooa::test
