// A shop answer nested a million levels deep (a broken proxy, a hostile
// server) must not take the service down: the channel parses it without
// recursion, and the pass sees a document or no JSON at all.
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

}  // namespace
}  // namespace ooa::test
