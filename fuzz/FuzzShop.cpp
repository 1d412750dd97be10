#include "FuzzShop.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <vector>

#include "PosDatabase.h"
#include "config/Config.h"
#include "config/ProblemList.h"
#include "sync/OrderSyncPass.h"
#include "shop/rest/RestChannel.h"
#include "shop/WooModule.h"
#include "sync/OrderSync.h"

namespace ooa::fuzz {

namespace {

const char* const kBaseUrl = "http://shop.invalid/wp-json/wc/v3";

// Answers from whatever answers *slot points to when a request is sent.
class TMemoryShop : public IHttpTransport {
 public:
  explicit TMemoryShop(const TShopAnswers* const* slot) : Slot(slot) {}
  THttpResponse Send(const THttpRequest& request) override {
    std::string resource = request.Url.substr(std::string(kBaseUrl).size() + 1);
    resource = resource.substr(0, resource.find('?'));
    THttpResponse response;
    const TShopAnswers* answers = *Slot;
    response.Body = answers && *answers ? (*answers)(resource) : std::string();
    if (response.Body.empty()) {
      response.Status = 404;
      response.StatusText = "Not Found";
      response.Body = R"({"code": "rest_no_route", "message": "No route was found.", "data": {"status": 404}})";
    } else {
      response.Status = 200;
      response.StatusText = "OK";
    }
    return response;
  }

 private:
  const TShopAnswers* const* Slot;
};

// The answers of the running order pass.
const TShopAnswers* gPassAnswers = nullptr;

}  // namespace

TDatabaseModule& FuzzDatabase() {
  static TDatabaseModule& db = *[] {
    auto* module = new TDatabaseModule;  // kept for the process: libFuzzer ends without destructors
    ConnectToPosDatabase(*module);
    return module;
  }();
  return db;
}

std::string ShopListBody(const uint8_t* data, size_t size) {
  std::string body(reinterpret_cast<const char*>(data), size);
  const size_t first = body.find_first_not_of(" \t\r\n");
  if (first != std::string::npos && body[first] == '{') return "[" + body + "]";
  return body;
}

void ForEachListedObject(const std::string& body, const char* kind, TDatabaseModule& db,
                         const std::function<void(TDatabaseModule&, const rapidjson::Value&)>& handle) {
  const TShopAnswers answers = [&body](const std::string&) { return body; };
  const TShopAnswers* slot = &answers;
  TRestChannel channel(std::make_unique<TMemoryShop>(&slot));
  channel.SetCredentials(kBaseUrl, "ck_fuzz", "cs_fuzz_secret");
  std::vector<rapidjson::Document> pages;
  try {
    if (std::string(kind) == "refunds")
      FetchOrderRefunds(channel, "7", pages);
    else
      FetchOrderPages(channel, "2000-01-01 00:00:00", pages);
  } catch (const TShopAnswerError&) {
    return;
  }
  for (const auto& page : pages)
    for (const auto& object : page.GetArray())
      if (object.IsObject()) handle(db, object);
}

void RunOrderPass(TDatabaseModule& db, const TShopAnswers& answers) {
  static TWooModule& woo = *new TWooModule(db, [] { return std::make_unique<TMemoryShop>(&gPassAnswers); });
  TConfig config = ConfigSnapshot();
  config.Url = kBaseUrl;
  config.Key = "ck_fuzz";
  config.Secret = "cs_fuzz_secret";
  config.PrinterName = "N/A";
  SetConfig(config);
  woo.Init(config);
  std::error_code ec;
  std::filesystem::remove(ProblemListPath(), ec);
  gPassAnswers = &answers;
  try {
    SyncOrders(woo);
  } catch (const std::exception&) {
    // The pass ends, as the worker ends it.
  }
  gPassAnswers = nullptr;
}

}  // namespace ooa::fuzz
