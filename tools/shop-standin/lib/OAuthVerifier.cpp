#include "OAuthVerifier.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>

namespace ooa::standin {
namespace {

TAuthOutcome Fail(const std::string& message,
                  const std::string& code = "woocommerce_rest_authentication_error") {
  TAuthOutcome outcome;
  outcome.Kind = TAuthOutcome::Failed;
  outcome.Code = code;
  outcome.Message = message;
  return outcome;
}

TAuthOutcome Anonymous() {
  TAuthOutcome outcome;
  outcome.Kind = TAuthOutcome::Anonymous;
  return outcome;
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

std::string Base64Decode(const std::string& text) {
  std::string out(text.size(), '\0');
  int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                          reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
  if (n < 0) return "";
  size_t pad = 0;
  for (size_t i = text.size(); i > 0 && text[i - 1] == '='; --i) ++pad;
  out.resize(static_cast<size_t>(n) - std::min(pad, static_cast<size_t>(n)));
  return out;
}

}  // namespace

TOAuthVerifier::TOAuthVerifier(std::string homeUrl, std::vector<TApiKey> keys)
    : HomeUrl(std::move(homeUrl)), Keys(std::move(keys)) {
  while (!HomeUrl.empty() && HomeUrl.back() == '/') HomeUrl.pop_back();
}

const TApiKey* TOAuthVerifier::FindKey(const std::string& key) const {
  for (const auto& k : Keys) {
    if (k.Key == key) return &k;
  }
  return nullptr;
}

std::string TOAuthVerifier::SignedUrl(const TShopRequest& request) const {
  std::string rest = HomeUrl;
  size_t schemeEnd = rest.find("://");
  if (schemeEnd != std::string::npos) rest = rest.substr(schemeEnd + 3);
  std::string homePath;
  if (size_t slash = rest.find('/'); slash != std::string::npos) {
    homePath = rest.substr(slash);
    rest.resize(slash);
  }
  std::string path = request.Path;
  if (!homePath.empty() && path.rfind(homePath + "/", 0) == 0) path = path.substr(homePath.size());
  return std::string(request.Tls ? "https" : "http") + "://" + rest + homePath + path;
}

TAuthOutcome TOAuthVerifier::Basic(const TShopRequest& request, bool& tried) const {
  std::string key, secret;
  const std::string* qk = request.QueryValue("consumer_key");
  const std::string* qs = request.QueryValue("consumer_secret");
  if (qk && qs) {
    key = *qk;
    secret = *qs;
  } else if (request.Authorization.rfind("Basic ", 0) == 0) {
    std::string pair = Base64Decode(request.Authorization.substr(6));
    size_t colon = pair.find(':');
    if (colon == std::string::npos) return Anonymous();
    key = pair.substr(0, colon);
    secret = pair.substr(colon + 1);
  } else {
    return Anonymous();
  }
  tried = true;
  const TApiKey* found = FindKey(key);
  if (!found) return Fail("Consumer key is invalid.");
  if (!SameText(found->Secret, secret)) return Fail("Consumer secret is invalid.");
  TAuthOutcome ok;
  ok.Message = found->ReadOnly ? "read" : "read_write";
  return ok;
}

TAuthOutcome TOAuthVerifier::Verify(const TShopRequest& request, int64_t now) {
  TAuthOutcome outcome;
  bool basicTried = false;
  if (request.Tls) {
    outcome = Basic(request, basicTried);
    if (basicTried && outcome.Kind == TAuthOutcome::Ok) {
      if (outcome.Message == "read" && request.Method != "GET") {
        return Fail("The API key provided does not have write permissions.");
      }
      outcome.Message.clear();
      return outcome;
    }
  }
  TAuthOutcome basicFailure = outcome;

  // Protocol parameters: the query string first, the header's values win.
  std::map<std::string, std::string> protocol;
  for (const auto& [name, value] : request.Query) {
    if (name.rfind("oauth_", 0) == 0) protocol[name] = value;
  }
  for (const auto& [name, value] : oauth::ParseAuthorizationHeader(request.Authorization)) {
    protocol[name] = value;
  }
  static const char* const required[] = {"oauth_consumer_key", "oauth_timestamp", "oauth_nonce",
                                         "oauth_signature", "oauth_signature_method"};
  std::string missing;
  size_t present = 0;
  for (const char* name : required) {
    if (protocol.count(name) && !protocol[name].empty()) {
      ++present;
    } else {
      missing += (missing.empty() ? "" : ", ") + std::string(name);
    }
  }
  if (present == 0) {
    if (basicTried) return basicFailure;
    return Anonymous();
  }
  if (!missing.empty()) {
    return Fail("Missing OAuth parameter(s) " + missing, "woocommerce_rest_authentication_missing_parameter");
  }
  const TApiKey* key = FindKey(protocol["oauth_consumer_key"]);
  if (!key) return Fail("Consumer key is invalid.");

  const std::string& method = protocol["oauth_signature_method"];
  if (method != "HMAC-SHA1" && method != "HMAC-SHA256") {
    return Fail("Invalid signature - signature method is invalid.");
  }
  // Signed parameters: the query (the last of a repeated name), a form body, and the
  // protocol parameters without the signature; encoded, sorted by name, joined.
  std::map<std::string, std::string> params;
  for (const auto& [name, value] : request.Query) params[name] = value;
  if (request.ContentType.rfind("application/x-www-form-urlencoded", 0) == 0) {
    size_t pos = 0;
    while (pos <= request.Body.size()) {
      size_t amp = request.Body.find('&', pos);
      std::string pair = request.Body.substr(pos, amp == std::string::npos ? std::string::npos : amp - pos);
      if (!pair.empty()) {
        size_t eq = pair.find('=');
        params[oauth::PercentDecode(pair.substr(0, eq))] =
            eq == std::string::npos ? "" : oauth::PercentDecode(pair.substr(eq + 1));
      }
      if (amp == std::string::npos) break;
      pos = amp + 1;
    }
  }
  for (const auto& [name, value] : protocol) params[name] = value;
  params.erase("oauth_signature");
  std::vector<std::pair<std::string, std::string>> encoded;
  for (const auto& [name, value] : params) {
    encoded.emplace_back(oauth::PercentEncode(name), oauth::PercentEncode(value));
  }
  std::sort(encoded.begin(), encoded.end(),
            [](const auto& x, const auto& y) { return x.first < y.first; });
  std::string joined;
  for (const auto& [name, value] : encoded) {
    joined += (joined.empty() ? "" : "&") + name + "=" + value;
  }
  std::string base = request.Method + "&" + oauth::PercentEncode(SignedUrl(request)) + "&" +
                     oauth::PercentEncode(joined);
  std::string secret = key->Secret + "&";
  std::string expected = method == "HMAC-SHA1" ? oauth::HmacSha1Base64(secret, base)
                                               : oauth::HmacSha256Base64(secret, base);
  std::string given = protocol["oauth_signature"];
  std::replace(given.begin(), given.end(), ' ', '+');
  if (!SameText(expected, given)) {
    return Fail("Invalid signature - provided signature does not match.");
  }

  const std::string& stampText = protocol["oauth_timestamp"];
  int64_t stamp = 0;
  bool digits = !stampText.empty() && stampText.size() < 19 &&
                std::all_of(stampText.begin(), stampText.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (digits) stamp = std::stoll(stampText);
  if (!digits || stamp < now - kWindowSeconds || stamp > now + kWindowSeconds) {
    return Fail("Invalid timestamp.");
  }
  {
    std::lock_guard lock(NonceMutex);
    auto& used = UsedNonces[key->Key];
    std::erase_if(used, [&](const auto& entry) { return entry.second < now - kWindowSeconds; });
    const std::string& nonce = protocol["oauth_nonce"];
    if (used.count(nonce)) return Fail("Invalid nonce - nonce has already been used.");
    used[nonce] = stamp;
  }
  if (key->ReadOnly && request.Method != "GET") {
    return Fail("The API key provided does not have write permissions.");
  }
  return TAuthOutcome();
}

void TOAuthVerifier::ForgetNonces() {
  std::lock_guard lock(NonceMutex);
  UsedNonces.clear();
}

}  // namespace ooa::standin
