// Helpers of the REST channel tests: a capture of the activity log's detail
// lines, a loopback HTTP(S) server that records what it received, a listener
// that never answers, a loopback port where nothing listens, and regular
// expression matchers that read the same on every platform.
#pragma once

#include <httplib.h>  // on Windows, brings Winsock in and starts it

#ifndef _WIN32
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <chrono>
#include <functional>
#include <regex>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>

#include "config/ActivityLog.h"
#include "config/Config.h"

namespace ooa::test {

// GoogleTest's own regular expressions are POSIX ones on Linux but a small
// subset without brackets on Windows; these use std::regex (ECMAScript) on both.
MATCHER_P(MatchesRegex, pattern, "matches the regular expression " + std::string(pattern)) {
  return std::regex_match(std::string(arg), std::regex(pattern));
}
MATCHER_P(ContainsRegex, pattern, "contains the regular expression " + std::string(pattern)) {
  return std::regex_search(std::string(arg), std::regex(pattern));
}

// Turns the Debug flag on and collects every log line while alive.
class TChannelLogCapture {
 public:
  TChannelLogCapture() : Saved(ConfigSnapshot()) {
    TConfig debug = Saved;
    debug.Debug = true;
    SetConfig(debug);
    ActivityLog().SetSink(&Sink);
  }
  ~TChannelLogCapture() {
    ActivityLog().SetSink(nullptr);
    SetConfig(Saved);
  }
  std::vector<std::string> Lines() const { return Sink.Lines(); }
  void Clear() { Sink.Clear(); }

 private:
  TConfig Saved;
  TMemoryLogSink Sink;
};

// What the loopback server saw of one request.
struct TSeenRequest {
  std::string Method, Path, Body;
  int RemotePort = 0;  // the client's side of the connection
  httplib::Headers Headers;
  httplib::Params Params;
  std::string Header(const std::string& name) const {
    auto it = Headers.find(name);
    return it == Headers.end() ? "" : it->second;
  }
};

// An httplib server on 127.0.0.1 and a free port, run on its own thread.
// Every request goes to Handler (any method, any path) and is recorded.
class TLoopbackServer {
 public:
  using THandler = std::function<void(const httplib::Request&, httplib::Response&)>;

  explicit TLoopbackServer(THandler handler, const std::string& certFile = "", const std::string& keyFile = "")
      : Handler(std::move(handler)) {
    if (certFile.empty()) {
      Server = std::make_unique<httplib::Server>();
    } else {
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
      Server = std::make_unique<httplib::SSLServer>(certFile.c_str(), keyFile.c_str());
#else
      throw std::runtime_error("loopback server: no TLS in this build");
#endif
    }
    auto route = [this](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard lock(Mutex);
        Seen.push_back({req.method, req.path, req.body, req.remote_port, req.headers, req.params});
      }
      Handler(req, res);
    };
#ifdef _WIN32
    // WinHTTP keeps its idle connections after the transport is gone, and
    // stopping waits for them to time out. Longer than the waits between a
    // test's requests (a Retry-After of 1 s), which would otherwise race with
    // the server closing the connection.
    Server->set_keep_alive_timeout(2);
#endif
    Server->Get(".*", route);
    Server->Post(".*", route);
    Port = Server->bind_to_any_port("127.0.0.1");
    if (Port <= 0) throw std::runtime_error("loopback server cannot bind");
    Thread = std::thread([this] { Server->listen_after_bind(); });
    while (!Server->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ~TLoopbackServer() {
    Server->stop();
    Thread.join();
  }

  int PortNumber() const { return Port; }
  std::vector<TSeenRequest> Requests() const {
    std::lock_guard lock(Mutex);
    return Seen;
  }

 private:
  THandler Handler;
  std::unique_ptr<httplib::Server> Server;
  int Port = 0;
  std::thread Thread;
  mutable std::mutex Mutex;
  std::vector<TSeenRequest> Seen;
};

#ifdef _WIN32
using TLoopbackSocket = SOCKET;
inline void CloseLoopbackSocket(TLoopbackSocket fd) { ::closesocket(fd); }
#else
using TLoopbackSocket = int;
inline void CloseLoopbackSocket(TLoopbackSocket fd) { ::close(fd); }
#endif

inline TLoopbackSocket BoundLoopbackSocket(int& port) {
  TLoopbackSocket fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (fd == static_cast<TLoopbackSocket>(-1) || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    throw std::runtime_error("cannot bind a loopback socket");
  }
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  port = ntohs(addr.sin_port);
  return fd;
}

// Accepts connections into its backlog and never reads or answers.
class TSilentListener {
 public:
  TSilentListener() {
    Fd = BoundLoopbackSocket(Port);
    ::listen(Fd, 8);
  }
  ~TSilentListener() { CloseLoopbackSocket(Fd); }
  int PortNumber() const { return Port; }

 private:
  TLoopbackSocket Fd;
  int Port = 0;
};

// A loopback port that was free a moment ago and has no listener.
inline int ClosedLoopbackPort() {
  int port = 0;
  CloseLoopbackSocket(BoundLoopbackSocket(port));
  return port;
}

}  // namespace ooa::test
