// A shop answer nested a million levels deep (a broken proxy, a hostile
// server) must not take the service down: the channel refuses it before
// parsing, and the pass sees no JSON with the reason, or the server's error.
#include <gtest/gtest.h>

#include <string>

#include "shop/rest/RestChannel.h"
#include "shop/rest/ChannelLoopback.h"

namespace ooa::test {
namespace {

// Up to 512 levels an answer is JSON; deeper it is refused before parsing,
// so nothing that walks the document later (a copy, a writer) can recurse
// that deep. Brackets inside strings do not count.
TEST(RestChannelDeepJson, ABodyNestedDeeperThan512LevelsIsRefusedWithItsReason) {
  auto nested = [](size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); };
  std::string objects;
  for (size_t i = 0; i < 1000000; ++i) objects += "{\"a\":";
  objects += "1" + std::string(1000000, '}');
  const std::string tooDeep = "it is nested deeper than 512 levels";
  struct TCase {
    const char* Name;
    std::string Body;
    std::string Error;  // "" when the body is JSON
  };
  const TCase cases[] = {
      {"512 levels", nested(512), ""},
      {"513 levels", nested(513), tooDeep},
      {"a million arrays", nested(1000000), tooDeep},
      {"a million objects", objects, tooDeep},
      {"brackets in a string", "[\"" + std::string(600, '[') + "\\\"{\"]", ""},
      {"a million opened", std::string(1000000, '['), tooDeep},
      {"not closed", "[[1]", "it is not valid JSON: Missing a comma or ']' after an array element at byte 4"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoopbackServer server([&c](const httplib::Request&, httplib::Response& res) {
      res.set_content(c.Body, "application/json");
    });
    TRestChannel channel(CreateHttpTransport());
    channel.SetCredentials("http://127.0.0.1:" + std::to_string(server.PortNumber()) + "/wp-json/wc/v3", "ck", "cs");
    channel.SetResource("orders");
    channel.Execute();
    ASSERT_EQ(channel.StatusCode(), 200);
    EXPECT_EQ(channel.JsonValue() != nullptr, c.Error.empty());
    EXPECT_EQ(channel.JsonError(), c.Error);
  }
}

TEST(RestChannelDeepJson, AServerErrorNestedAMillionLevelsDeepIsReportedAsItsText) {
  const std::string body = std::string(1000000, '[') + std::string(1000000, ']');
  TLoopbackServer server([&body](const httplib::Request&, httplib::Response& res) {
    res.status = 500;
    res.set_content(body, "application/json");
  });
  TRestChannel channel(CreateHttpTransport());
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
