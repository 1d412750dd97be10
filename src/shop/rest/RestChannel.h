// TRestChannel: one OAuth 1.0a signed REST channel to the shop (client, request,
// response and authenticator in one object). The shop module owns two: the
// first for the catalogue pass, the second for the order pass. A channel is
// used by one worker thread at a time; SetCredentials (from Init, on the UI
// thread) may run while a pass uses it and only swaps base URL, key and secret
// under a lock, so a request always sees a consistent set.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <rapidjson/document.h>

namespace ooa {

// Transport failure ("REST request failed: " + cause) or HTTP status >= 500.
class TRestError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct THttpRequest {
  std::string Method;  // "GET" or "POST"
  std::string Url;     // full URL including the query
  std::vector<std::pair<std::string, std::string>> Headers;
  std::string Body;
  // When set, the transport may call it once, on its own thread, as soon as
  // the whole request has been written and before the answer is read (work
  // that can go on while the shop works). It must not throw.
  std::function<void()> OnSent;
};

struct THttpResponse {
  int Status = 0;
  std::string StatusText;  // reason phrase
  std::vector<std::pair<std::string, std::string>> Headers;
  std::string Body;
  double TotalMs = 0;  // preparing + transfer + processing
  std::string Header(const std::string& name) const;  // case-insensitive, "" if absent
};

// Sends one HTTP request. Throws TRestError("REST request failed: " + cause)
// on a transport failure. One instance per channel, used by one thread at a time.
class IHttpTransport {
 public:
  virtual ~IHttpTransport() = default;
  virtual THttpResponse Send(const THttpRequest& request) = 0;
};

// The largest answer a transport reads (64 MB): a larger one fails the
// request before anything of it is parsed. A request's whole time is bounded
// by kDeadlineFactor times its idle time-out.
inline constexpr size_t kMaxShopAnswerBytes = 64 * 1024 * 1024;
inline constexpr int kDeadlineFactor = 10;

// The platform's transport: libcurl on Linux (posix/CurlTransport), WinHTTP
// on Windows (win/WinHttpTransport). Either keeps its connection alive and
// its cookies between requests, verifies TLS, and hands redirects back (the
// channel follows them). caFile adds the CA certificates of a PEM file to the
// system store (empty: the system store alone). timeoutMs bounds connecting
// and each wait for data while reading; the whole request may take ten times
// as long.
std::unique_ptr<IHttpTransport> CreateHttpTransport(const std::string& caFile = "", int timeoutMs = 30000);

class TRestChannel {
 public:
  explicit TRestChannel(std::unique_ptr<IHttpTransport> transport);

  void SetCredentials(const std::string& baseUrl, const std::string& key, const std::string& secret);

  void SetResource(const std::string& resource);
  void SetMethod(const std::string& method);  // "GET" / "POST"
  void AddParameter(const std::string& name, const std::string& value);  // replaces same name
  void ClearParameters();
  void ClearBody();
  void AddJsonBody(const std::string& json);
  // Work for the next Execute alone: run once its request has left (while the
  // shop works on it), and at the latest when Execute ends, also by an
  // exception. Nothing to run: an empty function.
  void SetOnSent(std::function<void()> work);
  // Sends the request. A redirect within the shop (same host, scheme and
  // port, or http to https) is followed, signed for its new URL, with the
  // line "Redirected to: <url>"; any other redirect throws TRestError naming
  // where it pointed. A 429 or 503 whose Retry-After asks for 30 s or less is
  // waited for and sent again (twice at most).
  // 400..499: logs the status text and body, returns normally.
  // >= 500 or transport failure: throws TRestError. Always logs the URI and resource lines
  // after a response arrived.
  void Execute();

  const std::string& Resource() const { return ResourceText; }
  const std::string& Content() const { return Response.Body; }
  int StatusCode() const { return Response.Status; }
  const std::string& StatusText() const { return Response.StatusText; }
  std::string ResponseHeader(const std::string& name) const { return Response.Header(name); }
  // The shop's message in the last answer: the "message" member of a JSON
  // error body, else the start of the body, else the status text; the
  // channel's secret masked.
  std::string ErrorMessage() const;
  // The body parsed as JSON (numbers kept as their text), or nullptr when it
  // is not JSON or nests deeper than kMaxShopJsonDepth (shop/rest/JsonDepth.h).
  const rapidjson::Document* JsonValue();
  // Why JsonValue() gave nullptr, as a clause about the answer ("it is
  // empty", "it is not valid JSON: Invalid value at byte 0", "it is nested
  // deeper than 512 levels"); empty when it gave a document.
  const std::string& JsonError();
  // Moves the parsed body into document (true), or leaves document as it is
  // when the body is not JSON (false). A later JsonValue() parses the body again.
  bool TakeJsonValue(rapidjson::Document& document);
  // The URL of the last request as logged (base + "/" + resource + "?" + query for GET).
  const std::string& LastUrl() const { return LastUrlText; }

 private:
  std::unique_ptr<IHttpTransport> Transport;
  mutable std::mutex CredentialsMutex;
  std::string BaseUrl, Key, Secret;
  std::string ResourceText, Method = "GET", Body;
  std::vector<std::pair<std::string, std::string>> Parameters;
  std::function<void()> OnSent;
  THttpResponse Response;
  std::string LastUrlText;
  std::optional<rapidjson::Document> Json;
  bool JsonParsed = false;
  std::string JsonErrorText;
};

}  // namespace ooa
