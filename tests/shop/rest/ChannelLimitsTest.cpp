// What a shop answer may cost: its size (64 MB, refused before parsing,
// whether the shop announces it or not) and its time (an overall deadline
// of ten idle time-outs, so a shop that trickles a byte now and then cannot
// hold a pass for ever).
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "shop/rest/RestChannel.h"
#include "shop/rest/ChannelLoopback.h"

namespace ooa {
namespace {

using test::TLoopbackServer;

std::string BaseOf(const TLoopbackServer& server) {
  return "http://127.0.0.1:" + std::to_string(server.PortNumber()) + "/wp-json/wc/v3";
}

std::string FailureOf(TRestChannel& channel) {
  try {
    channel.Execute();
  } catch (const TRestError& e) {
    return e.what();
  }
  return "no failure";
}

TEST(RestChannelLimits, AnAnswerLargerThan64MBIsRefusedUnread) {
  const std::string tooLarge = "REST request failed: The shop's answer is larger than 64 MB; it was not read";
  const size_t chunk = 1024 * 1024;
  for (const bool announced : {true, false}) {
    SCOPED_TRACE(announced ? "with Content-Length" : "chunked");
    TLoopbackServer server([announced, chunk](const httplib::Request&, httplib::Response& res) {
      if (announced) {
        res.set_content(std::string(kMaxShopAnswerBytes + 1, ' '), "application/json");
        return;
      }
      res.set_chunked_content_provider("application/json", [chunk](size_t offset, httplib::DataSink& sink) {
        if (offset > kMaxShopAnswerBytes + chunk) {
          sink.done();
          return true;
        }
        const std::string block(chunk, ' ');
        return sink.write(block.data(), block.size());
      });
    });
    TRestChannel channel(CreateHttpTransport());
    channel.SetCredentials(BaseOf(server), "ck", "cs");
    channel.SetResource("orders");
    EXPECT_EQ(FailureOf(channel), tooLarge);
  }
}

TEST(RestChannelLimits, AShopThatTricklesIsStoppedAtTheRequestsDeadline) {
  TLoopbackServer server([](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("application/json", [](size_t offset, httplib::DataSink& sink) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (offset > 200) {  // never reached before the deadline
        sink.done();
        return true;
      }
      return sink.write(offset == 0 ? "[" : " ", 1);
    });
  });
  TRestChannel channel(CreateHttpTransport("", 300));
  channel.SetCredentials(BaseOf(server), "ck", "cs");
  channel.SetResource("orders");
  EXPECT_EQ(FailureOf(channel),
            "REST request failed: The answer did not arrive within the request's deadline of 3000 milliseconds (the "
            "shop sent it too slowly)");
}

}  // namespace
}  // namespace ooa
