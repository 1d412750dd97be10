#include "realshop/RealShop.h"

#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace ooa::test {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::optional<TShopAddress> RealShopAddress() {
  TShopAddress a{Env("WOO_URL"), Env("WOO_KEY"), Env("WOO_SECRET"), Env("WOO_TLS_URL"), Env("WOO_CA_FILE")};
  if (a.Url.empty() || a.Key.empty() || a.Secret.empty()) return std::nullopt;
  return a;
}

std::string TShopAnswer::Header(const std::string& name) const {
  for (const auto& [n, v] : Headers)
    if (strcasecmp(n.c_str(), name.c_str()) == 0) return v;
  return "";
}

TShopClient::TShopClient(const std::string& baseUrl, const std::string& key, const std::string& secret,
                         const std::string& caFile)
    : Channel(std::make_unique<TRestChannel>(CreateHttpTransport(caFile, 180000))) {
  Channel->SetCredentials(baseUrl, key, secret);
}

TShopAnswer TShopClient::Send() {
  TShopAnswer answer;
  try {
    Channel->Execute();
    answer.Status = Channel->StatusCode();
  } catch (const TRestError& e) {
    // 500 and above raise; the status is still the channel's.
    answer.Status = Channel->StatusCode() >= 500 ? Channel->StatusCode() : 0;
    if (answer.Status == 0) {
      answer.Body = e.what();
      return answer;
    }
  }
  answer.Body = Channel->Content();
  for (const char* name : {"X-WP-Total", "X-WP-TotalPages"}) answer.Headers.emplace_back(name, Channel->ResponseHeader(name));
  answer.Json.Parse(answer.Body.c_str(), answer.Body.size());
  if (answer.Json.HasParseError()) answer.Json.SetNull();
  return answer;
}

TShopAnswer TShopClient::Get(const std::string& resource,
                             const std::vector<std::pair<std::string, std::string>>& query) {
  Channel->SetResource(resource);
  Channel->SetMethod("GET");
  Channel->ClearBody();
  Channel->ClearParameters();
  for (const auto& [name, value] : query) Channel->AddParameter(name, value);
  return Send();
}

TShopAnswer TShopClient::Post(const std::string& resource, const std::string& json) {
  Channel->SetResource(resource);
  Channel->SetMethod("POST");
  Channel->ClearParameters();
  Channel->ClearBody();
  Channel->AddJsonBody(json);
  return Send();
}

rapidjson::Document TShopClient::All(const std::string& resource,
                                     std::vector<std::pair<std::string, std::string>> query) {
  rapidjson::Document all(rapidjson::kArrayType);
  query.emplace_back("per_page", "100");
  for (int page = 1; page < 1000; ++page) {
    auto paged = query;
    paged.emplace_back("page", std::to_string(page));
    TShopAnswer answer = Get(resource, paged);
    if (answer.Status != 200 || !answer.Json.IsArray() || answer.Json.Empty()) break;
    for (auto& item : answer.Json.GetArray()) all.PushBack(rapidjson::Value(item, all.GetAllocator()), all.GetAllocator());
    if (answer.Json.Size() < 100) break;
  }
  return all;
}

const std::string& RunTag() {
  static const std::string tag = [] {
    const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    unsigned long long n = static_cast<unsigned long long>(std::time(nullptr)) * 7919ULL + ::getpid();
    std::string t = "R";
    for (int i = 0; i < 5; ++i, n /= 36) t += digits[n % 36];
    return t;
  }();
  return tag;
}

std::string JsonOf(const rapidjson::Value& value) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  value.Accept(writer);
  return buffer.GetString();
}

std::string Quoted(const std::string& text) {
  rapidjson::Value v(rapidjson::StringRef(text.data(), text.size()));
  return JsonOf(v);
}

}  // namespace ooa::test
