#include "shop/rest/Redirects.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace ooa {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// "/a/b/../c/./d" becomes "/a/c/d".
std::string RemoveDotSegments(const std::string& path) {
  std::string out;
  size_t at = 0;
  while (at < path.size()) {
    size_t next = path.find('/', at + 1);
    if (next == std::string::npos) next = path.size();
    const std::string segment = path.substr(at, next - at);  // starts with '/'
    if (segment == "/.") {
      if (next == path.size()) out += '/';
    } else if (segment == "/..") {
      const size_t cut = out.rfind('/');
      out.erase(cut == std::string::npos ? 0 : cut);
      if (next == path.size()) out += '/';
    } else {
      out += segment;
    }
    at = next;
  }
  return out.empty() ? "/" : out;
}

}  // namespace

THttpUrl ParseHttpUrl(const std::string& url) {
  THttpUrl parts;
  const size_t schemeEnd = url.find("://");
  if (schemeEnd == std::string::npos) return parts;
  parts.Scheme = Lower(url.substr(0, schemeEnd));
  if (parts.Scheme != "http" && parts.Scheme != "https") return parts;
  const size_t authorityStart = schemeEnd + 3;
  size_t authorityEnd = url.find_first_of("/?#", authorityStart);
  if (authorityEnd == std::string::npos) authorityEnd = url.size();
  std::string authority = url.substr(authorityStart, authorityEnd - authorityStart);
  if (const size_t at = authority.rfind('@'); at != std::string::npos) authority.erase(0, at + 1);
  std::string port;
  if (!authority.empty() && authority[0] == '[') {  // [IPv6]:port
    const size_t close = authority.find(']');
    if (close == std::string::npos) return parts;
    parts.Host = Lower(authority.substr(0, close + 1));
    if (close + 1 < authority.size()) {
      if (authority[close + 1] != ':') return parts;
      port = authority.substr(close + 2);
    }
  } else {
    const size_t colon = authority.find(':');
    parts.Host = Lower(authority.substr(0, colon));
    if (colon != std::string::npos) port = authority.substr(colon + 1);
  }
  if (parts.Host.empty()) return parts;
  if (port.empty()) {
    parts.Port = parts.Scheme == "https" ? 443 : 80;
  } else {
    if (port.size() > 5 || !std::all_of(port.begin(), port.end(), [](unsigned char c) { return std::isdigit(c); }))
      return parts;
    parts.Port = std::atoi(port.c_str());
    if (parts.Port < 1 || parts.Port > 65535) return parts;
  }
  std::string rest = url.substr(authorityEnd);
  if (const size_t hash = rest.find('#'); hash != std::string::npos) rest.erase(hash);
  const size_t question = rest.find('?');
  parts.Path = rest.substr(0, question);
  if (parts.Path.empty()) parts.Path = "/";
  if (question != std::string::npos) parts.Query = rest.substr(question + 1);
  parts.Valid = true;
  return parts;
}

std::string ResolveLocation(const std::string& requestUrl, const std::string& location) {
  if (location.find("://") != std::string::npos &&
      location.find_first_of("/?#") > location.find("://"))  // has a scheme of its own
    return location;
  const THttpUrl base = ParseHttpUrl(requestUrl);
  if (!base.Valid) return location;
  const size_t authorityStart = requestUrl.find("://") + 3;
  const std::string origin = requestUrl.substr(0, std::min(requestUrl.find_first_of("/?#", authorityStart), requestUrl.size()));
  if (location.rfind("//", 0) == 0) return base.Scheme + ":" + location;
  std::string path = location, suffix;
  if (const size_t cut = path.find_first_of("?#"); cut != std::string::npos) {
    suffix = path.substr(cut);
    path.erase(cut);
  }
  if (path.empty()) {
    if (suffix.empty() || suffix[0] == '#') return origin + base.Path + (base.Query.empty() ? "" : "?" + base.Query);
    return origin + base.Path + suffix;
  }
  if (path[0] != '/') path = base.Path.substr(0, base.Path.rfind('/') + 1) + path;
  return origin + RemoveDotSegments(path) + suffix;
}

bool RedirectStaysInShop(const std::string& shopUrl, const std::string& target) {
  const THttpUrl shop = ParseHttpUrl(shopUrl);
  const THttpUrl to = ParseHttpUrl(target);
  if (!shop.Valid || !to.Valid || to.Host != shop.Host) return false;
  if (to.Scheme == shop.Scheme) return to.Port == shop.Port;
  return shop.Scheme == "http" && to.Scheme == "https" && (to.Port == 443 || to.Port == shop.Port);
}

}  // namespace ooa
