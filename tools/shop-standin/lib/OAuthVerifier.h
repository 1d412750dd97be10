// TOAuthVerifier: checks the OAuth 1.0a signature of a shop request the way the shop
// does: protocol parameters from the Authorization header and the query string
// (header values win), the base string built from the configured home URL and the
// path as sent, HMAC-SHA1 or HMAC-SHA256 with key secret + "&", a timestamp within
// 15 minutes and a nonce used only once. Over TLS, key and secret may also come as
// consumer_key / consumer_secret query parameters or HTTP Basic credentials.
// Thread-safe (the nonce memory has its own lock); owned by the server.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ShopRequest.h"

namespace ooa::standin {

struct TApiKey {
  std::string Key;
  std::string Secret;
  bool ReadOnly = false;
};

struct TAuthOutcome {
  enum EKind { Ok, Anonymous, Failed } Kind = Ok;
  int Status = 401;
  std::string Code, Message;  // for Failed
};

class TOAuthVerifier {
 public:
  TOAuthVerifier(std::string homeUrl, std::vector<TApiKey> keys);

  // now: the server's real time in seconds (the shop clock of the admin does not
  // move it, so frozen test times never make signatures stale).
  TAuthOutcome Verify(const TShopRequest& request, int64_t now);
  void ForgetNonces();

  static constexpr int64_t kWindowSeconds = 15 * 60;

  // The URL the shop signs: the scheme of the connection, host, port and path of the
  // home URL, then the request path as sent.
  std::string SignedUrl(const TShopRequest& request) const;

 private:
  const TApiKey* FindKey(const std::string& key) const;
  TAuthOutcome Basic(const TShopRequest& request, bool& tried) const;

  std::string HomeUrl;
  std::vector<TApiKey> Keys;
  std::mutex NonceMutex;
  std::map<std::string, std::map<std::string, int64_t>> UsedNonces;  // key -> nonce -> timestamp
};

}  // namespace ooa::standin
