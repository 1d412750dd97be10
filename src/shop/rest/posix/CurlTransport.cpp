// The libcurl transport of a REST channel. One easy handle per channel, kept
// for the channel's life so that connections and cookies carry over between
// requests. Used by one thread at a time (the channel's worker).
#include <curl/curl.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <fstream>
#include <mutex>

#include "shop/rest/ReasonPhrase.h"
#include "shop/rest/RestChannel.h"

namespace ooa {
namespace {

using TSteady = std::chrono::steady_clock;

const char* const UserAgent = "OnlineOrderAdaptor/0.1";

std::string TrimLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

class TCurlTransport : public IHttpTransport {
 public:
  TCurlTransport(const std::string& caFile, int timeoutMs) : CaFile(caFile), TimeoutMs(timeoutMs) {
    static std::once_flag globalInit;
    std::call_once(globalInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    Handle = curl_easy_init();
    if (!CaFile.empty() && !std::ifstream(CaFile).good()) {
      SetupError = "the CA file '" + CaFile + "' cannot be read";
    }
    if (Handle) SetCommonOptions();
  }

  ~TCurlTransport() override {
    if (Handle) curl_easy_cleanup(Handle);
  }

  THttpResponse Send(const THttpRequest& request) override {
    if (!Handle) throw TRestError("REST request failed: the HTTP client could not be created");
    if (!SetupError.empty()) throw TRestError("REST request failed: " + SetupError);

    THttpResponse response;
    Current = &response;
    ErrorBuffer[0] = '\0';
    IdleAbort = DeadlineAbort = TooLarge = false;
    LastDown = LastUp = 0;
    LastActivity = TSteady::now();
    Started = LastActivity;
    OnSent = request.OnSent ? &request.OnSent : nullptr;
    UploadSize = request.Method == "GET" ? 0 : static_cast<curl_off_t>(request.Body.size());

    curl_slist* headers = nullptr;
    for (const auto& [name, value] : request.Headers) {
      headers = curl_slist_append(headers, (name + ": " + value).c_str());
    }
    headers = curl_slist_append(headers, "Expect:");  // no 100-continue round trip for large bodies

    // The common options stay set on the handle from one request to the
    // next; only what belongs to this request is set here, and whatever the
    // last one set differently is set back.
    curl_easy_setopt(Handle, CURLOPT_URL, request.Url.c_str());
    curl_easy_setopt(Handle, CURLOPT_HTTPHEADER, headers);
    if (request.Method == "GET") {
      curl_easy_setopt(Handle, CURLOPT_HTTPGET, 1L);
    } else {
      curl_easy_setopt(Handle, CURLOPT_POST, 1L);
      curl_easy_setopt(Handle, CURLOPT_POSTFIELDS, request.Body.data());
      curl_easy_setopt(Handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.Body.size()));
    }
    curl_easy_setopt(Handle, CURLOPT_CUSTOMREQUEST,
                     request.Method == "GET" || request.Method == "POST" ? nullptr : request.Method.c_str());

    auto started = TSteady::now();
    CURLcode rc = curl_easy_perform(Handle);
    response.TotalMs = std::chrono::duration<double, std::milli>(TSteady::now() - started).count();
    curl_slist_free_all(headers);
    curl_easy_setopt(Handle, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(Handle, CURLOPT_POSTFIELDS, nullptr);
    curl_easy_setopt(Handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(-1));
    curl_easy_setopt(Handle, CURLOPT_CUSTOMREQUEST, nullptr);
    Current = nullptr;
    OnSent = nullptr;

    if (rc != CURLE_OK) {
      std::string cause;
      if (IdleAbort) {
        cause = "Operation timed out after " + std::to_string(TimeoutMs) + " milliseconds with no answer";
      } else if (DeadlineAbort) {
        cause = "The answer did not arrive within the request's deadline of " +
                std::to_string(static_cast<long long>(TimeoutMs) * kDeadlineFactor) +
                " milliseconds (the shop sent it too slowly)";
      } else if (TooLarge) {
        cause = "The shop's answer is larger than " + std::to_string(kMaxShopAnswerBytes / (1024 * 1024)) +
                " MB; it was not read";
      } else {
        cause = ErrorBuffer[0] ? TrimLineEnd(ErrorBuffer) : curl_easy_strerror(rc);
      }
      throw TRestError("REST request failed: " + cause);
    }
    long status = 0;
    curl_easy_getinfo(Handle, CURLINFO_RESPONSE_CODE, &status);
    response.Status = static_cast<int>(status);
    if (response.StatusText.empty()) response.StatusText = DefaultReason(response.Status);
    return response;
  }

 private:
  // Set once, when the handle is made.
  void SetCommonOptions() {
    curl_easy_setopt(Handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(Handle, CURLOPT_ERRORBUFFER, ErrorBuffer);
    curl_easy_setopt(Handle, CURLOPT_USERAGENT, UserAgent);
    curl_easy_setopt(Handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(Handle, CURLOPT_PROTOCOLS_STR, "http,https");
    // Redirects come back to the channel, which follows only those within
    // the shop and signs each anew (shop/rest/Redirects.h).
    curl_easy_setopt(Handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(Handle, CURLOPT_COOKIEFILE, "");  // cookie engine on, in memory
    curl_easy_setopt(Handle, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(Handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(TimeoutMs));
    curl_easy_setopt(Handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(Handle, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(Handle, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    if (!CaFile.empty()) {
      // With OpenSSL underneath, the file joins the system store; a TLS
      // back end without context access gets the file as its CA bundle.
      if (curl_easy_setopt(Handle, CURLOPT_SSL_CTX_FUNCTION, &TCurlTransport::OnSslContext) == CURLE_OK) {
        curl_easy_setopt(Handle, CURLOPT_SSL_CTX_DATA, this);
      } else {
        curl_easy_setopt(Handle, CURLOPT_CAINFO, CaFile.c_str());
      }
    }
    curl_easy_setopt(Handle, CURLOPT_WRITEFUNCTION, &TCurlTransport::OnBody);
    curl_easy_setopt(Handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(Handle, CURLOPT_HEADERFUNCTION, &TCurlTransport::OnHeader);
    curl_easy_setopt(Handle, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(Handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(Handle, CURLOPT_XFERINFOFUNCTION, &TCurlTransport::OnProgress);
    curl_easy_setopt(Handle, CURLOPT_XFERINFODATA, this);
  }

  static size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<TCurlTransport*>(user);
    if (self->Current->Body.size() + size * count > kMaxShopAnswerBytes) {
      self->TooLarge = true;
      return 0;  // ends the transfer
    }
    self->Current->Body.append(data, size * count);
    self->LastActivity = TSteady::now();
    return size * count;
  }

  static size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<TCurlTransport*>(user);
    std::string line = TrimLineEnd(std::string(data, size * count));
    self->LastActivity = TSteady::now();
    THttpResponse& r = *self->Current;
    if (line.rfind("HTTP/", 0) == 0) {
      // A new status line (after a redirect or an interim answer): start afresh.
      r.Headers.clear();
      r.StatusText.clear();
      size_t codeStart = line.find(' ');
      size_t reasonStart = codeStart == std::string::npos ? std::string::npos : line.find(' ', codeStart + 1);
      if (reasonStart != std::string::npos) r.StatusText = line.substr(reasonStart + 1);
    } else if (size_t colon = line.find(':'); colon != std::string::npos) {
      std::string value = line.substr(colon + 1);
      value.erase(0, value.find_first_not_of(" \t") == std::string::npos ? value.size()
                                                                          : value.find_first_not_of(" \t"));
      // An answer that says it is too large is refused before its body comes.
      if (line.size() >= colon && colon == 14 && strncasecmp(line.c_str(), "Content-Length", 14) == 0 &&
          std::strtoull(value.c_str(), nullptr, 10) > kMaxShopAnswerBytes) {
        self->TooLarge = true;
        return 0;
      }
      r.Headers.emplace_back(line.substr(0, colon), value);
    }
    return size * count;
  }

  // Read time-out: no byte sent or received for TimeoutMs; deadline: the
  // request not done after kDeadlineFactor times that. libcurl calls this at
  // least about once a second while it waits.
  static int OnProgress(void* user, curl_off_t, curl_off_t downNow, curl_off_t, curl_off_t upNow) {
    auto* self = static_cast<TCurlTransport*>(user);
    auto now = TSteady::now();
    // The request's OnSent work, once the body has left (or after a second, so
    // it never waits long for a connection that does not come).
    if (self->OnSent && ((self->UploadSize > 0 && upNow >= self->UploadSize) ||
                         now - self->Started >= std::chrono::seconds(1))) {
      const std::function<void()>* work = self->OnSent;
      self->OnSent = nullptr;
      (*work)();
      now = TSteady::now();
      self->LastActivity = now;  // the wait for the answer starts now
    }
    // The whole request has a deadline as well: a shop that trickles a byte
    // now and then never lets the idle time-out fire.
    if (now - self->Started >= std::chrono::milliseconds(static_cast<long long>(self->TimeoutMs) * kDeadlineFactor)) {
      self->DeadlineAbort = true;
      return 1;
    }
    if (downNow != self->LastDown || upNow != self->LastUp) {
      self->LastDown = downNow;
      self->LastUp = upNow;
      self->LastActivity = now;
      return 0;
    }
    if (now - self->LastActivity >= std::chrono::milliseconds(self->TimeoutMs)) {
      self->IdleAbort = true;
      return 1;
    }
    return 0;
  }

  // Adds the configured CA file to the trust store that already holds the system's CAs.
  static CURLcode OnSslContext(CURL*, void* sslContext, void* user) {
    auto* self = static_cast<TCurlTransport*>(user);
    if (SSL_CTX_load_verify_locations(static_cast<SSL_CTX*>(sslContext), self->CaFile.c_str(), nullptr) != 1) {
      return CURLE_SSL_CACERT_BADFILE;
    }
    return CURLE_OK;
  }

  CURL* Handle = nullptr;
  std::string CaFile;
  int TimeoutMs;
  std::string SetupError;
  char ErrorBuffer[CURL_ERROR_SIZE] = {};
  THttpResponse* Current = nullptr;
  TSteady::time_point LastActivity, Started;
  const std::function<void()>* OnSent = nullptr;  // the current request's, until it ran
  curl_off_t UploadSize = 0;
  curl_off_t LastDown = 0, LastUp = 0;
  bool IdleAbort = false, DeadlineAbort = false, TooLarge = false;
};

}  // namespace

std::unique_ptr<IHttpTransport> CreateHttpTransport(const std::string& caFile, int timeoutMs) {
  return std::make_unique<TCurlTransport>(caFile, timeoutMs > 0 ? timeoutMs : 30000);
}

}  // namespace ooa
