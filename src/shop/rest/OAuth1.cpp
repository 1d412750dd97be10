// OAuth 1.0a signing: percent-encoding, the base string, HMAC and the
// Authorization header. The HMAC and the nonce's random bytes come from the
// platform (shop/rest/OAuthCrypto.h).
#include "shop/rest/OAuth1.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <stdexcept>

#include "shop/rest/OAuthCrypto.h"

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

// RFC 4648 base64 with padding.
std::string Base64(const std::string& data) {
  static const char* const Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve(4 * ((data.size() + 2) / 3));
  size_t i = 0;
  for (; i + 2 < data.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(data[i]) << 16 | static_cast<unsigned char>(data[i + 1]) << 8 |
                       static_cast<unsigned char>(data[i + 2]);
    out += Alphabet[v >> 18];
    out += Alphabet[(v >> 12) & 63];
    out += Alphabet[(v >> 6) & 63];
    out += Alphabet[v & 63];
  }
  if (i < data.size()) {
    const bool two = i + 1 < data.size();
    const unsigned v = static_cast<unsigned char>(data[i]) << 16 |
                       (two ? static_cast<unsigned char>(data[i + 1]) << 8 : 0u);
    out += Alphabet[v >> 18];
    out += Alphabet[(v >> 12) & 63];
    out += two ? Alphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
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
  return Base64(HmacDigest(THmacDigest::Sha1, key, data));
}

std::string HmacSha256Base64(const std::string& key, const std::string& data) {
  return Base64(HmacDigest(THmacDigest::Sha256, key, data));
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
  unsigned char bytes[16];
  RandomBytes(bytes, sizeof bytes);
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
