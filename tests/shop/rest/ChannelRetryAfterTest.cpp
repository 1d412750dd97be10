// A shop that asks the channel to slow down (429, or 503 while it is busy)
// with a short Retry-After gets its wait and the same request again; a long
// one is left to a later pass, and the answer is handed on as it came.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "shop/rest/RestChannel.h"
#include "shop/rest/ChannelLoopback.h"

namespace ooa {
namespace {

using test::TLoopbackServer;

TEST(RestChannelRetryAfter, AShortWaitIsHonouredAndTheRequestSentAgain) {
  struct TCase {
    int Status;
    const char* RetryAfter;  // "" for none
    int Refusals;            // answers before the shop serves
    size_t Requests;         // what the channel sends
    int Final;               // the status it ends with (0: it throws)
  };
  const TCase cases[] = {
      {429, "1", 1, 2, 200},
      {503, "0", 2, 3, 200},
      {429, "0", 5, 3, 429},    // two tries more at most
      {429, "120", 1, 1, 429},  // longer than the channel waits
      {429, "", 1, 1, 429},
      {503, "", 1, 1, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Status) + " Retry-After " + c.RetryAfter);
    std::atomic<int> answered{0};
    TLoopbackServer server([&c, &answered](const httplib::Request&, httplib::Response& res) {
      if (answered++ < c.Refusals) {
        res.status = c.Status;
        if (*c.RetryAfter) res.set_header("Retry-After", c.RetryAfter);
        res.set_content(R"({"code":"too_many","message":"Slow down"})", "application/json");
      } else {
        res.set_content("[]", "application/json");
      }
    });
    TRestChannel channel(CreateHttpTransport());
    channel.SetCredentials("http://127.0.0.1:" + std::to_string(server.PortNumber()) + "/wp-json/wc/v3", "ck", "cs");
    channel.SetResource("orders");
    if (c.Final == 0) {
      EXPECT_THROW(channel.Execute(), TRestError);
    } else {
      channel.Execute();
      EXPECT_EQ(channel.StatusCode(), c.Final);
    }
    EXPECT_EQ(server.Requests().size(), c.Requests);
  }
}

}  // namespace
}  // namespace ooa
