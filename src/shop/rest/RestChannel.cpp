// TRestChannel: request state, URL building, OAuth signing, execution and the
// two log handlers (after-execute and HTTP protocol error).
#include "shop/rest/RestChannel.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <thread>

#include <rapidjson/error/en.h>

#include "config/ActivityLog.h"
#include "config/SecretMask.h"
#include "shop/rest/JsonDepth.h"
#include "shop/rest/OAuth1.h"
#include "shop/rest/Redirects.h"

namespace ooa {
namespace {

using TSteady = std::chrono::steady_clock;

const char* const AcceptHeader = "application/json, text/plain; q=0.9, text/html;q=0.8,";
const char* const AcceptCharsetHeader = "UTF-8, *;q=0.8";

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

constexpr int kMaxRedirects = 10;
// A 429 or 503 whose Retry-After asks for at most this many seconds is
// waited for and sent again, up to kMaxRetries times; a longer wait is left
// to a later pass.
constexpr int kMaxRetryAfterSeconds = 30;
constexpr int kMaxRetries = 2;

// Seconds a Retry-After value asks for (delta-seconds, or an HTTP date); -1
// when it names none.
int RetryAfterSeconds(const std::string& value) {
  if (value.empty()) return -1;
  if (std::all_of(value.begin(), value.end(), [](unsigned char c) { return std::isdigit(c); }))
    return value.size() > 6 ? 999999 : std::atoi(value.c_str());
  std::tm tm{};
  std::istringstream in(value);
  in.imbue(std::locale::classic());
  in >> std::get_time(&tm, "%a, %d %b %Y %H:%M:%S GMT");
  if (in.fail()) return -1;
  using namespace std::chrono;
  const sys_days day{year(tm.tm_year + 1900) / month(static_cast<unsigned>(tm.tm_mon + 1)) /
                     static_cast<unsigned>(tm.tm_mday)};
  const long long at = duration_cast<seconds>(day.time_since_epoch()).count() + tm.tm_hour * 3600LL +
                       tm.tm_min * 60LL + tm.tm_sec;
  const long long now = static_cast<long long>(std::time(nullptr));
  return at <= now ? 0 : static_cast<int>(std::min<long long>(at - now, 999999));
}

// The decoded name=value pairs of a query text.
oauth::TParams QueryParameters(const std::string& query) {
  oauth::TParams params;
  size_t at = 0;
  while (at < query.size()) {
    size_t end = query.find('&', at);
    if (end == std::string::npos) end = query.size();
    const std::string pair = query.substr(at, end - at);
    if (!pair.empty()) {
      const size_t eq = pair.find('=');
      params.emplace_back(oauth::PercentDecode(pair.substr(0, eq)),
                          eq == std::string::npos ? std::string() : oauth::PercentDecode(pair.substr(eq + 1)));
    }
    at = end + 1;
  }
  return params;
}

double MsBetween(TSteady::time_point from, TSteady::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// The message of a server error: the "message" member of a JSON error body,
// otherwise the body itself (shortened), otherwise the status text.
std::string ServerMessage(const THttpResponse& response) {
  rapidjson::Document doc;
  doc.Parse<rapidjson::kParseIterativeFlag>(response.Body.c_str(), response.Body.size());
  if (!doc.HasParseError() && doc.IsObject()) {
    auto it = doc.FindMember("message");
    if (it != doc.MemberEnd() && it->value.IsString()) return it->value.GetString();
  }
  std::string text = response.Body.substr(0, 500);
  return text.empty() ? response.StatusText : text;
}

// Writes the request line and the resource line after every answered request.
void RESTRequestAfterExecute(const TRestChannel& sender, double totalMs) {
  LogLine("URI: " + sender.LastUrl() + " Execution time: " +
          std::to_string(static_cast<long long>(std::floor(totalMs))) + "ms");
  LogLine(sender.Resource());
}

// Writes the status text and the shop's error body of a 4xx answer.
void RESTRequestHTTPProtocolError(const TRestChannel& sender) {
  LogLine(sender.StatusText());
  LogLine(sender.Content());
}

}  // namespace

std::string THttpResponse::Header(const std::string& name) const {
  for (const auto& [n, v] : Headers) {
    if (SameTextIgnoringCase(n, name)) return v;
  }
  return "";
}

TRestChannel::TRestChannel(std::unique_ptr<IHttpTransport> transport) : Transport(std::move(transport)) {
  oauth::PrepareSigning();
}

void TRestChannel::SetCredentials(const std::string& baseUrl, const std::string& key, const std::string& secret) {
  std::lock_guard lock(CredentialsMutex);
  BaseUrl = baseUrl;
  Key = key;
  Secret = secret;
}

void TRestChannel::SetResource(const std::string& resource) { ResourceText = resource; }

void TRestChannel::SetMethod(const std::string& method) {
  std::string upper = method;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (upper != "GET" && upper != "POST" && upper != "PUT" && upper != "DELETE") {
    throw std::invalid_argument("Unsupported HTTP method: " + method);
  }
  Method = upper;
}

void TRestChannel::AddParameter(const std::string& name, const std::string& value) {
  std::erase_if(Parameters, [&](const auto& p) { return p.first == name; });
  Parameters.emplace_back(name, value);
}

void TRestChannel::ClearParameters() { Parameters.clear(); }

void TRestChannel::ClearBody() { Body.clear(); }

void TRestChannel::AddJsonBody(const std::string& json) { Body = json; }

void TRestChannel::SetOnSent(std::function<void()> work) { OnSent = std::move(work); }

void TRestChannel::Execute() {
  // The work runs once: when the transport says the request has left, or else
  // when Execute ends, however it ends.
  struct TOnce {
    std::function<void()> Work;
    void operator()() {
      if (!Work) return;
      std::function<void()> work = std::move(Work);
      Work = nullptr;
      work();
    }
    ~TOnce() {
      try {
        (*this)();
      } catch (...) {
      }
    }
  } onSent{std::move(OnSent)};
  OnSent = nullptr;
  const auto started = TSteady::now();
  std::string baseUrl, key, secret;
  {
    std::lock_guard lock(CredentialsMutex);
    baseUrl = BaseUrl;
    key = Key;
    secret = Secret;
  }
  Response = THttpResponse();
  Json.reset();
  JsonParsed = false;
  JsonErrorText.clear();

  // base + "/" + resource; the slash is always inserted. Parameters travel in
  // the query (the passes add them to GET requests only).
  std::string url = baseUrl + "/" + ResourceText;
  std::string query;
  for (const auto& [name, value] : Parameters) {
    if (!query.empty()) query += '&';
    query += oauth::PercentEncode(name) + "=" + oauth::PercentEncode(value);
  }
  LastUrlText = query.empty() ? url : url + "?" + query;
  if (baseUrl.empty()) throw TRestError("REST request failed: no shop URL is configured");

  // Redirects within the shop are followed here, each signed for its own
  // URL (shop/rest/Redirects.h); an answer of 429 or 503 with a short Retry-After
  // is waited for and tried again.
  std::string method = Method, body = Body, target = LastUrlText, signUrl = url;
  oauth::TParams signParams = Parameters;
  int redirects = 0, retries = 0;
  const auto sending = TSteady::now();
  THttpResponse answer;
  for (;;) {
    THttpRequest request;
    request.Method = method;
    request.Url = target;
    request.Headers = {
        {"Accept", AcceptHeader},
        {"Accept-Charset", AcceptCharsetHeader},
        {"Authorization", oauth::AuthorizationHeader(method, signUrl, signParams, key, secret, oauth::NewNonce(),
                                                     std::to_string(std::chrono::duration_cast<std::chrono::seconds>(
                                                                         std::chrono::system_clock::now().time_since_epoch())
                                                                         .count()))},
    };
    if (!body.empty() || method != "GET") request.Headers.emplace_back("Content-Type", "application/json");
    request.Body = body;
    if (onSent.Work) request.OnSent = [&onSent] { onSent(); };
    try {
      answer = Transport->Send(request);
    } catch (const TRestError& e) {
      throw TRestError(MaskSecret(e.what(), secret));  // a transport failure
    }
    if (IsRedirectStatus(answer.Status) && !answer.Header("Location").empty()) {
      const std::string next = ResolveLocation(target, answer.Header("Location"));
      if (!RedirectStaysInShop(baseUrl, next))
        throw TRestError(MaskSecret("REST request failed: the shop redirected it to " + next +
                                        ", which is not the shop's own host (" + baseUrl + ")",
                                    secret));
      if (++redirects > kMaxRedirects)
        throw TRestError("REST request failed: more than " + std::to_string(kMaxRedirects) + " redirects");
      LogLine(MaskSecret("Redirected to: " + next, secret));
      if (answer.Status == 303) {  // see other: fetch it
        method = "GET";
        body.clear();
      }
      target = next.substr(0, next.find('#'));
      signUrl = target.substr(0, target.find('?'));
      signParams = QueryParameters(ParseHttpUrl(target).Query);
      continue;
    }
    if ((answer.Status == 429 || answer.Status == 503) && retries < kMaxRetries) {
      const int wait = RetryAfterSeconds(answer.Header("Retry-After"));
      if (wait >= 0 && wait <= kMaxRetryAfterSeconds) {
        LogLine("The shop answered " + std::to_string(answer.Status) + "; trying again in " + std::to_string(wait) +
                " s (Retry-After)");
        std::this_thread::sleep_for(std::chrono::seconds(wait));
        ++retries;
        continue;
      }
    }
    break;
  }
  const auto received = TSteady::now();
  onSent();  // when the transport did not run it
  Response = std::move(answer);

  const bool protocolError = Response.Status >= 400 && Response.Status < 500;
  if (protocolError) RESTRequestHTTPProtocolError(*this);
  const double total = std::max(0.0, MsBetween(started, sending)) + std::max(0.0, MsBetween(sending, received)) +
                       std::max(0.0, MsBetween(received, TSteady::now()));
  Response.TotalMs = total;
  RESTRequestAfterExecute(*this, total);

  if (Response.Status >= 500) {
    throw TRestError(MaskSecret("Shop error " + std::to_string(Response.Status) + " " + Response.StatusText + ": " +
                                    ServerMessage(Response),
                                secret));
  }
}

std::string TRestChannel::ErrorMessage() const {
  std::string secret;
  {
    std::lock_guard lock(CredentialsMutex);
    secret = Secret;
  }
  return MaskSecret(ServerMessage(Response), secret);
}

const rapidjson::Document* TRestChannel::JsonValue() {
  if (!JsonParsed) {
    JsonParsed = true;
    JsonErrorText.clear();
    const std::string& body = Response.Body;
    if (JsonNestingDepth(body.data(), body.size()) > kMaxShopJsonDepth) {
      JsonErrorText = "it is nested deeper than " + std::to_string(kMaxShopJsonDepth) + " levels";
      return nullptr;
    }
    rapidjson::Document doc;
    // Iterative as well: the parse never recurses, whatever the text.
    doc.Parse<rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseIterativeFlag>(body.c_str(), body.size());
    if (!doc.HasParseError()) {
      Json.emplace(std::move(doc));
    } else if (body.empty()) {
      JsonErrorText = "it is empty";
    } else {
      std::string why = rapidjson::GetParseError_En(doc.GetParseError());
      if (!why.empty() && why.back() == '.') why.pop_back();
      JsonErrorText = "it is not valid JSON: " + why + " at byte " + std::to_string(doc.GetErrorOffset());
    }
  }
  return Json ? &*Json : nullptr;
}

const std::string& TRestChannel::JsonError() {
  JsonValue();
  return JsonErrorText;
}

bool TRestChannel::TakeJsonValue(rapidjson::Document& document) {
  if (!JsonValue()) return false;
  document.Swap(*Json);
  Json.reset();
  JsonParsed = false;
  return true;
}

}  // namespace ooa
