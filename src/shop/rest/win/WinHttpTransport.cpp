// The WinHTTP transport of a REST channel. One session per channel, kept for
// the channel's life so that connections and cookies carry over between
// requests; the system's certificate store and proxy settings. Used by one
// thread at a time (the channel's worker). Blocking calls only: each wait is
// bounded by the idle time-out, cut short where the request's deadline comes
// first.
#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>

#include "shop/rest/ReasonPhrase.h"
#include "shop/rest/RestChannel.h"

namespace ooa {
namespace {

using TSteady = std::chrono::steady_clock;

const wchar_t* const UserAgent = L"OnlineOrderAdaptor/0.1";

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string Narrow(const wchar_t* text, size_t size) {
  if (size == 0) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(size), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(size), out.data(), n, nullptr, nullptr);
  return out;
}

std::string TrimLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// A text of a header the answer may carry ("" when absent).
std::wstring QueryHeader(HINTERNET request, DWORD what) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return {};
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &bytes,
                           WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  text.resize(bytes / sizeof(wchar_t));
  return text;
}

// Closes a WinHTTP handle when it goes out of scope.
struct THandle {
  HINTERNET Value = nullptr;
  THandle() = default;
  explicit THandle(HINTERNET value) : Value(value) {}
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  ~THandle() { Reset(); }
  void Reset(HINTERNET value = nullptr) {
    if (Value) WinHttpCloseHandle(Value);
    Value = value;
  }
  explicit operator bool() const { return Value != nullptr; }
};

class TWinHttpTransport : public IHttpTransport {
 public:
  TWinHttpTransport(const std::string& caFile, int timeoutMs) : TimeoutMs(timeoutMs) {
    // The system's proxy settings: automatic (WPAD, the configuration
    // script, the user's settings) from Windows 8.1 on, else those set with
    // netsh winhttp.
    Session.Reset(WinHttpOpen(UserAgent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, 0));
    if (!Session) {
      Session.Reset(WinHttpOpen(UserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                WINHTTP_NO_PROXY_BYPASS, 0));
    }
    if (Session) {
      DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
      if (!WinHttpSetOption(Session.Value, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) {
        protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;  // a system without TLS 1.3
        WinHttpSetOption(Session.Value, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols);
      }
      WinHttpSetStatusCallback(Session.Value, &TWinHttpTransport::OnStatus, WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0);
    }
    if (!caFile.empty()) {
      // The certificates a shop's TLS is checked against are those of the
      // Windows certificate store; a CA of the shop's own goes there
      // (certlm.msc, Trusted Root Certification Authorities). A CA file is
      // refused rather than ignored, so that the shop is never trusted on a
      // file that is not used.
      if (!std::ifstream(Widen(caFile).c_str()).good()) {
        SetupError = "the CA file '" + caFile + "' cannot be read";
      } else {
        SetupError = "the CA file '" + caFile +
                     "' is not used on Windows; add its certificate to the Windows certificate store instead";
      }
    }
  }

  THttpResponse Send(const THttpRequest& request) override {
    if (!Session) throw TRestError("REST request failed: the HTTP client could not be created");
    if (!SetupError.empty()) throw TRestError("REST request failed: " + SetupError);

    THttpResponse response;
    const auto started = TSteady::now();
    Started = started;
    SecureFailure = 0;
    WaitSetOn = nullptr;  // a new request handle may reuse the last one's value

    const std::wstring url = Widen(request.Url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = DWORD(-1);
    if (url.empty() || !WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
      const std::string scheme = request.Url.substr(0, request.Url.find("://"));
      if (request.Url.find("://") != std::string::npos && scheme != "http" && scheme != "https")
        throw TRestError("REST request failed: Protocol \"" + scheme + "\" not supported");
      throw TRestError("REST request failed: URL rejected: the URL '" + request.Url + "' is malformed");
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
      throw TRestError("REST request failed: Protocol \"" + Narrow(parts.lpszScheme, parts.dwSchemeLength) +
                       "\" not supported");
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    HostText = Narrow(host.data(), host.size());
    PortText = std::to_string(parts.nPort);
    std::wstring object(parts.lpszUrlPath, parts.dwUrlPathLength);
    object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty()) object = L"/";

    // The connection handle names the server; WinHTTP keeps the socket
    // behind it alive for the next request to the same one.
    if (!Connect || host != ConnectHost || parts.nPort != ConnectPort) {
      Connect.Reset(WinHttpConnect(Session.Value, host.c_str(), parts.nPort, 0));
      if (!Connect) Fail(GetLastError(), false);
      ConnectHost = host;
      ConnectPort = parts.nPort;
    }

    // The path and query go out exactly as the channel built them (already
    // percent-encoded, a doubled slash kept).
    THandle handle(WinHttpOpenRequest(Connect.Value, Widen(request.Method).c_str(), object.c_str(), nullptr,
                                      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                      WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                                          (secure ? WINHTTP_FLAG_SECURE : 0)));
    if (!handle) Fail(GetLastError(), false);
    // Redirects come back to the channel, which follows only those within
    // the shop and signs each anew (shop/rest/Redirects.h).
    DWORD features = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(handle.Value, WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof features);
    WinHttpSetOption(handle.Value, WINHTTP_OPTION_CONTEXT_VALUE, &Self, sizeof Self);

    std::wstring headers;
    for (const auto& [name, value] : request.Headers) headers += Widen(name + ": " + value + "\r\n");

    const bool withBody = request.Method != "GET";
    const DWORD bodySize = withBody ? static_cast<DWORD>(request.Body.size()) : 0;
    // The body goes after the head, by WinHttpWriteData: handed to
    // WinHttpSendRequest whole, Wine's WinHTTP reads the answer there too,
    // and the request's OnSent work would wait for it.
    SetWait(handle.Value);
    if (!WinHttpSendRequest(handle.Value, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                            headers.empty() ? 0 : DWORD(-1), WINHTTP_NO_REQUEST_DATA, 0, bodySize, 0)) {
      Fail(GetLastError(), false);
    }
    for (DWORD written = 0; written < bodySize;) {
      SetWait(handle.Value);
      DWORD n = 0;
      if (!WinHttpWriteData(handle.Value, request.Body.data() + written, bodySize - written, &n)) {
        Fail(GetLastError(), false);
      }
      if (n == 0) Fail(ERROR_WINHTTP_CONNECTION_ERROR, false);
      written += n;
    }
    // The request has left: the work that can go on while the shop works.
    if (request.OnSent) request.OnSent();

    SetWait(handle.Value);
    if (!WinHttpReceiveResponse(handle.Value, nullptr)) Fail(GetLastError(), true);

    DWORD status = 0, size = sizeof status;
    WinHttpQueryHeaders(handle.Value, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    response.Status = static_cast<int>(status);
    const std::wstring reason = QueryHeader(handle.Value, WINHTTP_QUERY_STATUS_TEXT);
    response.StatusText = TrimLineEnd(Narrow(reason.data(), reason.size()));
    const std::wstring raw = QueryHeader(handle.Value, WINHTTP_QUERY_RAW_HEADERS_CRLF);
    const std::string rawText = Narrow(raw.data(), raw.size());
    long long promised = -1;  // the Content-Length, when the answer gives one
    size_t at = rawText.find("\r\n");  // after the status line
    while (at != std::string::npos && at + 2 < rawText.size()) {
      const size_t next = rawText.find("\r\n", at + 2);
      const std::string line = TrimLineEnd(rawText.substr(at + 2, next == std::string::npos ? std::string::npos
                                                                                             : next - at - 2));
      at = next;
      const size_t colon = line.find(':');
      if (colon == std::string::npos) continue;
      std::string value = line.substr(colon + 1);
      const size_t start = value.find_first_not_of(" \t");
      value.erase(0, start == std::string::npos ? value.size() : start);
      // An answer that says it is too large is refused before its body comes.
      if (colon == 14 && _strnicmp(line.c_str(), "Content-Length", 14) == 0) {
        const unsigned long long length = std::strtoull(value.c_str(), nullptr, 10);
        if (length > kMaxShopAnswerBytes) throw TRestError("REST request failed: " + TooLargeText());
        promised = static_cast<long long>(length);
      }
      response.Headers.emplace_back(line.substr(0, colon), std::move(value));
    }

    // Asks what has arrived before reading it: a read for a whole buffer
    // would wait for the buffer to fill, past the deadline, while a shop
    // trickles its answer.
    char buffer[64 * 1024];
    for (;;) {
      SetWait(handle.Value);
      DWORD ready = 0;
      if (!WinHttpQueryDataAvailable(handle.Value, &ready)) Fail(GetLastError(), true);
      // At the end, one more read (of nothing) all the same: only a read that
      // meets the end hands the connection back for the next request (Wine's
      // WinHTTP, after an empty answer).
      DWORD got = 0;
      if (!WinHttpReadData(handle.Value, buffer, std::min<DWORD>(std::max<DWORD>(ready, 1), sizeof buffer), &got)) {
        Fail(GetLastError(), true);
      }
      if (got == 0) break;
      if (response.Body.size() + got > kMaxShopAnswerBytes) {
        throw TRestError("REST request failed: " + TooLargeText());
      }
      response.Body.append(buffer, got);
      if (TSteady::now() - Started >= Deadline()) Fail(ERROR_WINHTTP_TIMEOUT, true);
    }
    // A connection closed before the promised body was all there: Wine's
    // WinHTTP ends the body there without an error.
    if (promised >= 0 && static_cast<long long>(response.Body.size()) < promised)
      Fail(ERROR_WINHTTP_CONNECTION_ERROR, true);
    response.TotalMs = std::chrono::duration<double, std::milli>(TSteady::now() - started).count();
    if (response.StatusText.empty()) response.StatusText = DefaultReason(response.Status);
    return response;
  }

 private:
  std::chrono::milliseconds Deadline() const {
    return std::chrono::milliseconds(static_cast<long long>(TimeoutMs) * kDeadlineFactor);
  }

  // Bounds the next blocking call: the idle time-out, or what is left of the
  // request's deadline when that is less.
  void SetWait(HINTERNET request) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline() - (TSteady::now() - Started));
    const int wait = static_cast<int>(std::clamp<long long>(left.count(), 1, TimeoutMs));
    WaitCutByDeadline = wait < TimeoutMs;
    if (request == WaitSetOn && wait == WaitSet) return;  // as set for the last call
    WaitSetOn = request;
    WaitSet = wait;
    WinHttpSetTimeouts(request, wait, wait, wait, wait);
    DWORD responseWait = static_cast<DWORD>(wait);
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseWait, sizeof responseWait);
  }

  static std::string TooLargeText() {
    return "The shop's answer is larger than " + std::to_string(kMaxShopAnswerBytes / (1024 * 1024)) +
           " MB; it was not read";
  }

  // Throws the TRestError for a failed WinHTTP call; waiting tells whether
  // the request had gone out and its answer was awaited.
  [[noreturn]] void Fail(DWORD error, bool waiting) {
    const std::string where = HostText + " port " + PortText;
    std::string cause;
    // Some WinHTTP implementations (Wine's) hand the socket's own error on.
    if (error == WSAETIMEDOUT) error = ERROR_WINHTTP_TIMEOUT;
    if (error == WSAECONNREFUSED) error = ERROR_WINHTTP_CANNOT_CONNECT;
    if (error == WSAECONNRESET || error == WSAECONNABORTED) error = ERROR_WINHTTP_CONNECTION_ERROR;
    switch (error) {
      case ERROR_WINHTTP_TIMEOUT:
        if (WaitCutByDeadline || TSteady::now() - Started >= Deadline()) {
          cause = "The answer did not arrive within the request's deadline of " +
                  std::to_string(static_cast<long long>(TimeoutMs) * kDeadlineFactor) +
                  " milliseconds (the shop sent it too slowly)";
        } else if (waiting) {
          cause = "Operation timed out after " + std::to_string(TimeoutMs) + " milliseconds with no answer";
        } else {
          cause = "Connection to " + where + " timed out after " + std::to_string(TimeoutMs) + " milliseconds";
        }
        break;
      case ERROR_WINHTTP_CANNOT_CONNECT:
        cause = "Failed to connect to " + where + ": Couldn't connect to server";
        break;
      case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        cause = "Could not resolve host: " + HostText;
        break;
      case ERROR_WINHTTP_CONNECTION_ERROR:
        cause = waiting ? "Connection to " + where + " was closed while the answer was read"
                        : "Connection to " + where + " was reset";
        break;
      case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      case ERROR_WINHTTP_HEADER_SIZE_OVERFLOW:
        cause = "The answer of " + where + " is not valid HTTP";
        break;
      case ERROR_WINHTTP_SECURE_FAILURE:
      case ERROR_WINHTTP_SECURE_INVALID_CA:
      case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
      case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
      case ERROR_WINHTTP_SECURE_INVALID_CERT:
      case ERROR_WINHTTP_SECURE_CERT_REVOKED:
      case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
        cause = "SSL certificate problem: " + SecureFailureText(error) + " (" + where + ")";
        break;
      case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
      case ERROR_WINHTTP_INVALID_URL:
        cause = "URL rejected: the URL is malformed";
        break;
      default: {
        wchar_t* text = nullptr;
        const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                           FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                       GetModuleHandleW(L"winhttp.dll"), error, 0,
                                       reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        cause = n ? TrimLineEnd(Narrow(text, n)) : "WinHTTP error " + std::to_string(error);
        if (text) LocalFree(text);
        cause += " (" + where + ")";
      }
    }
    throw TRestError("REST request failed: " + cause);
  }

  std::string SecureFailureText(DWORD error) const {
    const DWORD flags = SecureFailure;
    if (flags & WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA || error == ERROR_WINHTTP_SECURE_INVALID_CA)
      return "the certificate's issuer is not trusted by the Windows certificate store";
    if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID || error == ERROR_WINHTTP_SECURE_CERT_CN_INVALID)
      return "the certificate is not for " + HostText;
    if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID || error == ERROR_WINHTTP_SECURE_CERT_DATE_INVALID)
      return "the certificate has expired or is not yet valid";
    if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED || error == ERROR_WINHTTP_SECURE_CERT_REVOKED)
      return "the certificate has been revoked";
    if (flags & WINHTTP_CALLBACK_STATUS_FLAG_SECURITY_CHANNEL_ERROR || error == ERROR_WINHTTP_SECURE_CHANNEL_ERROR)
      return "the TLS handshake failed, or the certificate is not trusted";
    return "the certificate is invalid or not trusted";
  }

  // Notes why a TLS handshake was refused, for the error text.
  static void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD infoLength) {
    if (status != WINHTTP_CALLBACK_STATUS_SECURE_FAILURE || !context || !info || infoLength < sizeof(DWORD)) return;
    reinterpret_cast<TWinHttpTransport*>(context)->SecureFailure = *static_cast<const DWORD*>(info);
  }

  THandle Session, Connect;
  std::wstring ConnectHost;
  INTERNET_PORT ConnectPort = 0;
  int TimeoutMs;
  std::string SetupError;
  TWinHttpTransport* Self = this;  // the request handles' context value
  TSteady::time_point Started;
  bool WaitCutByDeadline = false;
  HINTERNET WaitSetOn = nullptr;  // the request the last wait was set on, and that wait
  int WaitSet = 0;
  DWORD SecureFailure = 0;
  std::string HostText, PortText;
};

}  // namespace

std::unique_ptr<IHttpTransport> CreateHttpTransport(const std::string& caFile, int timeoutMs) {
  return std::make_unique<TWinHttpTransport>(caFile, timeoutMs > 0 ? timeoutMs : 30000);
}

}  // namespace ooa
