#include "StandinHarness.h"

#include <ctime>
#include <stdexcept>

#include <gtest/gtest.h>

namespace ooa::standin::test {

TStandinConfig HarnessConfig() {
  TStandinConfig config;
  config.Keys = {{kKey, kSecret, false}, {kReadOnlyKey, kSecret, true}};
  return config;
}

TStandinHarness::TStandinHarness(TStandinConfig config, std::string caFile)
    : Server(std::make_unique<TStandinServer>(std::move(config))), CaFile(std::move(caFile)) {
  std::string error;
  if (!Server->Start(error)) throw std::runtime_error("stand-in did not start: " + error);
  Serving = std::thread([this] { Server->Run(); });
  // Wait until the listening socket accepts.
  for (int i = 0; i < 200; ++i) {
    if (Client()->Get("/standin/clock")) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  throw std::runtime_error("stand-in does not answer");
}

std::unique_ptr<httplib::Client> TStandinHarness::Client() const {
  auto client = std::make_unique<httplib::Client>(Origin());
  client->enable_server_certificate_verification(true);
  if (!CaFile.empty()) client->set_ca_cert_path(CaFile.c_str());
  client->set_read_timeout(10, 0);
  return client;
}

TStandinHarness::~TStandinHarness() {
  Server->Stop();
  if (Serving.joinable()) Serving.join();
}

std::string TStandinHarness::Target(const std::string& resource, const oauth::TParams& query) {
  std::string target = kApiPrefix + resource;
  for (size_t i = 0; i < query.size(); ++i) {
    target += (i ? "&" : "?") + oauth::PercentEncode(query[i].first) + "=" + oauth::PercentEncode(query[i].second);
  }
  return target;
}

httplib::Result TStandinHarness::Get(const std::string& resource, const oauth::TParams& query,
                                     const std::string& key, const std::string& secret) {
  std::string header = oauth::AuthorizationHeader("GET", ApiUrl(resource), query, key, secret,
                                                  oauth::NewNonce(), std::to_string(std::time(nullptr)));
  return Raw("GET", Target(resource, query), header);
}

httplib::Result TStandinHarness::Post(const std::string& resource, const std::string& json,
                                      const std::string& key, const std::string& secret) {
  std::string header = oauth::AuthorizationHeader("POST", ApiUrl(resource), {}, key, secret,
                                                  oauth::NewNonce(), std::to_string(std::time(nullptr)));
  return Raw("POST", Target(resource, {}), header, json);
}

httplib::Result TStandinHarness::Raw(const std::string& method, const std::string& target,
                                     const std::string& authorization, const std::string& body) {
  auto client = Client();
  httplib::Headers headers;
  if (!authorization.empty()) headers.emplace("Authorization", authorization);
  if (method == "GET") return client->Get(target, headers);
  return client->Post(target, headers, body, "application/json");
}

std::string TStandinHarness::AdminGet(const std::string& path) {
  auto result = Client()->Get(path);
  EXPECT_TRUE(result && result->status < 300) << path << ": " << (result ? result->body : "no answer");
  return result ? result->body : "";
}

std::string TStandinHarness::AdminPost(const std::string& path, const std::string& body) {
  auto result = Client()->Post(path, body, "application/json");
  EXPECT_TRUE(result && result->status < 300) << path << ": " << (result ? result->body : "no answer");
  return result ? result->body : "";
}

rapidjson::Document ParsedBody(const httplib::Result& result) {
  rapidjson::Document doc;
  if (result) doc.Parse(result->body.c_str());
  return doc;
}

std::string ErrorCode(const rapidjson::Value& value) {
  if (value.IsObject() && value.HasMember("error") && value["error"].IsObject()) {
    return value["error"]["code"].GetString();
  }
  if (value.IsObject() && value.HasMember("code") && value["code"].IsString()) return value["code"].GetString();
  return "";
}

}  // namespace ooa::standin::test
