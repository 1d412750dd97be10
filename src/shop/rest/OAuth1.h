// OAuth 1.0a (RFC 5849) signing pieces shared by the REST channels (which sign)
// and the stand-in shop (which verifies). Pure functions; any thread.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ooa::oauth {

using TParams = std::vector<std::pair<std::string, std::string>>;

// RFC 3986 percent-encoding: everything but ALPHA DIGIT - . _ ~ is %XX (upper-case hex).
std::string PercentEncode(const std::string& text);
std::string PercentDecode(const std::string& text);  // also turns '+' into a blank

// Base string URI: scheme and host lower-case, default port dropped, no query or fragment.
std::string NormalizeBaseUrl(const std::string& url);

// METHOD&enc(base url)&enc(sorted, encoded k=v pairs joined by '&').
std::string SignatureBaseString(const std::string& method, const std::string& baseUrl,
                                const TParams& params);

// Base64 of HMAC-SHA1 / HMAC-SHA256.
std::string HmacSha1Base64(const std::string& key, const std::string& data);
std::string HmacSha256Base64(const std::string& key, const std::string& data);

// Signature with key = enc(consumerSecret) + "&" (no token secret).
std::string Sign(const std::string& method, const std::string& baseUrl, const TParams& params,
                 const std::string& consumerSecret, const std::string& signatureMethod = "HMAC-SHA1");

// A fresh random nonce (32 hex characters from the system's random source).
std::string NewNonce();

// Loads the platform's HMAC and digests now, on the calling thread (once per
// process): left to the first request, OpenSSL's many small tables of
// algorithm names would be made in the middle of a pass, scattered over the
// memory the pass frees, and keep that memory from going back when it ends.
void PrepareSigning();

// The Authorization header value ("OAuth oauth_consumer_key=\"...\", ...") for a request
// whose query parameters are queryParams; the JSON body is not signed.
std::string AuthorizationHeader(const std::string& method, const std::string& url,
                                const TParams& queryParams, const std::string& consumerKey,
                                const std::string& consumerSecret, const std::string& nonce,
                                const std::string& timestamp);

// The oauth_* parameters of an Authorization header, values percent-decoded
// ('+' stays a plus sign); empty if the header is not "OAuth ...".
TParams ParseAuthorizationHeader(const std::string& header);

}  // namespace ooa::oauth
