// OAuth 1.0a signing: percent-encoding, the base string, HMAC and the
// Authorization header. HMAC and base64 come from OpenSSL, the nonce from
// the kernel's random source.
#include "shop/rest/OAuth1.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/params.h>
#include <sys/random.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <mutex>
#include <stdexcept>

namespace ooa::oauth {
namespace {

const char* const HexDigits = "0123456789ABCDEF";

// RFC 3986 unreserved characters: ASCII letters and digits and "-._~" (a byte
// above 127 is always encoded, whatever the process locale says of it).
bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string ToLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string ToUpper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string Trim(const std::string& text) {
  size_t b = text.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = text.find_last_not_of(" \t\r\n");
  return text.substr(b, e - b + 1);
}

std::string Base64(const unsigned char* data, size_t size) {
  std::string out(4 * ((size + 2) / 3), '\0');
  int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), data, static_cast<int>(size));
  out.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return out;
}

// A context keyed for one digest and key, kept per thread: every request of a
// channel is signed with the same key, and fetching the HMAC implementation and
// keying it anew costs more than the digest of a request. Each signature works
// on a copy of the keyed context.
class TKeyedHmac {
 public:
  ~TKeyedHmac() { EVP_MAC_CTX_free(Keyed); }

  // The keyed context for md and key, or nullptr when OpenSSL refuses one.
  EVP_MAC_CTX* For(const EVP_MD* md, const std::string& key) {
    if (Keyed && md == Md && key == Key) return Keyed;
    EVP_MAC_CTX_free(Keyed);
    Keyed = nullptr;
    static EVP_MAC* const mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    if (!mac) return nullptr;
    EVP_MAC_CTX* ctx = EVP_MAC_CTX_new(mac);
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, const_cast<char*>(EVP_MD_get0_name(md)), 0),
        OSSL_PARAM_construct_end()};
    if (!ctx || !EVP_MAC_init(ctx, reinterpret_cast<const unsigned char*>(key.data()), key.size(), params)) {
      EVP_MAC_CTX_free(ctx);
      return nullptr;
    }
    Keyed = ctx;
    Md = md;
    Key = key;
    return Keyed;
  }

 private:
  EVP_MAC_CTX* Keyed = nullptr;
  const EVP_MD* Md = nullptr;
  std::string Key;
};

std::string HmacBase64(const EVP_MD* md, const std::string& key, const std::string& data) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  thread_local TKeyedHmac keyed;
  if (EVP_MAC_CTX* base = keyed.For(md, key)) {
    EVP_MAC_CTX* ctx = EVP_MAC_CTX_dup(base);
    size_t length = 0;
    const bool done = ctx && EVP_MAC_update(ctx, reinterpret_cast<const unsigned char*>(data.data()), data.size()) &&
                      EVP_MAC_final(ctx, digest, &length, sizeof digest);
    EVP_MAC_CTX_free(ctx);
    if (done) return Base64(digest, length);
  }
  unsigned int length = 0;
  if (!HMAC(md, key.data(), static_cast<int>(key.size()),
            reinterpret_cast<const unsigned char*>(data.data()), data.size(), digest, &length)) {
    throw std::runtime_error("HMAC computation failed");
  }
  return Base64(digest, length);
}

}  // namespace

std::string PercentEncode(const std::string& text) {
  std::string out(text.size() * 3, '\0');
  char* end = out.data();
  for (unsigned char c : text) {
    if (IsUnreserved(c)) {
      *end++ = static_cast<char>(c);
    } else {
      *end++ = '%';
      *end++ = HexDigits[c >> 4];
      *end++ = HexDigits[c & 0x0F];
    }
  }
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
}

// RFC 3986 decoding; plusIsBlank adds the form-encoding rule '+' = blank.
static std::string Decode(const std::string& text, bool plusIsBlank) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+' && plusIsBlank) {
      out += ' ';
    } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += c;  // a stray '%' stays as it is
    }
  }
  return out;
}

std::string PercentDecode(const std::string& text) { return Decode(text, true); }

std::string NormalizeBaseUrl(const std::string& url) {
  std::string rest = url;
  size_t cut = rest.find_first_of("?#");
  if (cut != std::string::npos) rest.resize(cut);

  size_t schemeEnd = rest.find("://");
  if (schemeEnd == std::string::npos) return rest;
  std::string scheme = ToLower(rest.substr(0, schemeEnd));
  std::string afterScheme = rest.substr(schemeEnd + 3);
  size_t pathStart = afterScheme.find('/');
  std::string authority = afterScheme.substr(0, pathStart);
  std::string path = pathStart == std::string::npos ? "/" : afterScheme.substr(pathStart);

  size_t at = authority.rfind('@');
  if (at != std::string::npos) authority = authority.substr(at + 1);  // no user info
  std::string host = authority, port;
  size_t colon = authority.rfind(':');
  size_t bracket = authority.rfind(']');  // IPv6 literal: the port follows the ']'
  if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
    host = authority.substr(0, colon);
    port = authority.substr(colon + 1);
  }
  host = ToLower(host);
  if ((scheme == "http" && port == "80") || (scheme == "https" && port == "443")) port.clear();
  return scheme + "://" + host + (port.empty() ? "" : ":" + port) + path;
}

std::string SignatureBaseString(const std::string& method, const std::string& baseUrl,
                                const TParams& params) {
  std::vector<std::pair<std::string, std::string>> encoded;
  encoded.reserve(params.size());
  for (const auto& [name, value] : params) encoded.emplace_back(PercentEncode(name), PercentEncode(value));
  std::sort(encoded.begin(), encoded.end());  // by encoded name, then encoded value (bytes)

  std::string joined;
  for (const auto& [name, value] : encoded) {
    if (!joined.empty()) joined += '&';
    joined += name;
    joined += '=';
    joined += value;
  }
  return ToUpper(method) + "&" + PercentEncode(NormalizeBaseUrl(baseUrl)) + "&" + PercentEncode(joined);
}

std::string HmacSha1Base64(const std::string& key, const std::string& data) {
  return HmacBase64(EVP_sha1(), key, data);
}

std::string HmacSha256Base64(const std::string& key, const std::string& data) {
  return HmacBase64(EVP_sha256(), key, data);
}

std::string Sign(const std::string& method, const std::string& baseUrl, const TParams& params,
                 const std::string& consumerSecret, const std::string& signatureMethod) {
  TParams signedParams;
  signedParams.reserve(params.size());
  for (const auto& p : params) {
    if (p.first != "oauth_signature") signedParams.push_back(p);
  }
  std::string base = SignatureBaseString(method, baseUrl, signedParams);
  std::string key = PercentEncode(consumerSecret) + "&";
  if (signatureMethod == "HMAC-SHA1") return HmacSha1Base64(key, base);
  if (signatureMethod == "HMAC-SHA256") return HmacSha256Base64(key, base);
  throw std::invalid_argument("Unsupported OAuth signature method: " + signatureMethod);
}

void PrepareSigning() {
  static std::once_flag once;
  std::call_once(once, [] {
    HmacSha1Base64("key", "data");
    HmacSha256Base64("key", "data");
  });
}

std::string NewNonce() {
  // Straight from the kernel's random source: OpenSSL's generator keeps
  // small allocations of its own now and then, scattered over the heap of a
  // long catalogue pass, so that the heap could not shrink after it.
  unsigned char bytes[16];
  size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("No random bytes for the OAuth nonce");
    got += static_cast<size_t>(n);
  }
  std::string out;
  out.reserve(32);
  for (unsigned char b : bytes) {
    out += static_cast<char>(std::tolower(HexDigits[b >> 4]));
    out += static_cast<char>(std::tolower(HexDigits[b & 0x0F]));
  }
  return out;
}

std::string AuthorizationHeader(const std::string& method, const std::string& url,
                                const TParams& queryParams, const std::string& consumerKey,
                                const std::string& consumerSecret, const std::string& nonce,
                                const std::string& timestamp) {
  TParams protocol = {
      {"oauth_consumer_key", consumerKey},
      {"oauth_nonce", nonce},
      {"oauth_signature_method", "HMAC-SHA1"},
      {"oauth_timestamp", timestamp},
      {"oauth_version", "1.0"},
  };
  TParams all = queryParams;
  all.insert(all.end(), protocol.begin(), protocol.end());
  protocol.emplace_back("oauth_signature", Sign(method, url, all, consumerSecret, "HMAC-SHA1"));
  std::sort(protocol.begin(), protocol.end());

  std::string header = "OAuth ";
  for (size_t i = 0; i < protocol.size(); ++i) {
    if (i) header += ", ";
    header += protocol[i].first + "=\"" + PercentEncode(protocol[i].second) + "\"";
  }
  return header;
}

TParams ParseAuthorizationHeader(const std::string& header) {
  TParams out;
  std::string text = Trim(header);
  if (text.size() < 6 || ToLower(text.substr(0, 6)) != "oauth ") return out;
  text = text.substr(6);

  size_t pos = 0;
  while (pos < text.size()) {
    size_t eq = text.find('=', pos);
    if (eq == std::string::npos) break;
    std::string name = Trim(text.substr(pos, eq - pos));
    std::string value;
    size_t next = eq + 1;
    while (next < text.size() && text[next] == ' ') ++next;
    if (next < text.size() && text[next] == '"') {
      size_t close = text.find('"', next + 1);
      if (close == std::string::npos) close = text.size();
      value = text.substr(next + 1, close - next - 1);
      next = text.find(',', close);
    } else {
      size_t comma = text.find(',', next);
      value = Trim(text.substr(next, comma == std::string::npos ? std::string::npos : comma - next));
      next = comma;
    }
    // Header values are RFC 3986 encoded: a '+' is a plus sign (some servers
    // hand the header over already decoded, and base64 signatures carry '+').
    if (name.rfind("oauth_", 0) == 0) out.emplace_back(name, Decode(value, false));
    if (next == std::string::npos) break;
    pos = next + 1;
  }
  return out;
}

}  // namespace ooa::oauth
