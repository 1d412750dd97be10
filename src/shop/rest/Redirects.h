// Which redirects a REST channel follows. A shop (or whatever stands in front
// of it) may move a request within the shop: another path on the same host,
// scheme and port, or from http up to https on the same host. Anything else
// would send the signed request, its body, and what comes back into the POS,
// to another server: such a redirect fails the request. Pure functions; any
// thread.
#pragma once

#include <string>

namespace ooa {

// The pieces of an http or https URL: scheme and host lower-case, the port
// filled in from the scheme when the URL names none. Valid is false for
// anything else.
struct THttpUrl {
  bool Valid = false;
  std::string Scheme, Host;
  int Port = 0;
  std::string Path;   // from the first '/' up to '?' or '#' ("/" when empty)
  std::string Query;  // after '?', without it
};
THttpUrl ParseHttpUrl(const std::string& url);

// The absolute URL a Location header names, read against the URL of the
// request it answered (absolute, scheme-relative "//host/...", absolute path
// or relative path).
std::string ResolveLocation(const std::string& requestUrl, const std::string& location);

// True when target lies on the shop's own host: the same scheme and port as
// shopUrl, or https on the same host where shopUrl is http (on the https
// port, or on the port of shopUrl).
bool RedirectStaysInShop(const std::string& shopUrl, const std::string& target);

inline bool IsRedirectStatus(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace ooa
