// TStandinServer: the stand-in shop as one object: an HTTP or HTTPS server on a
// loopback address that answers the shop API under /wp-json/wc/v3/ and its own
// admin interface under /standin/. Start binds, Run serves on the calling thread
// (the HTTP library's worker threads run the handlers), Stop may come from any
// thread and ends Run, also cutting injected delays short. The server owns the
// store, the verifier, the faults and the request log.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Faults.h"
#include "OAuthVerifier.h"
#include "RequestLog.h"
#include "ShopRequest.h"
#include "Store.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace ooa::standin {

inline const std::string kApiPrefix = "/wp-json/wc/v3/";
inline const std::string kAdminPrefix = "/standin/";

struct TStandinConfig {
  std::string Host = "127.0.0.1";
  int Port = 0;                // 0: a free port
  std::string HomeUrl;         // "" : scheme://host:port of the server
  std::vector<TApiKey> Keys;
  bool NoAuth = false;         // every shop request passes without a signature
  std::string StateFile;       // "" : in memory only; else loaded at start, written after changes
  std::string SeedFile;        // orders (JSON array) loaded at start
  std::string CertFile, KeyFile;  // both set: HTTPS
};

class TStandinServer {
 public:
  explicit TStandinServer(TStandinConfig config);
  ~TStandinServer();

  // Loads state and seed, binds the socket. False with a message on failure.
  bool Start(std::string& error);
  void Run();
  void Stop();

  int Port() const { return BoundPort; }
  std::string Origin() const;  // http(s)://host:port

  // The route logic without HTTP (no faults, no request log).
  TShopResponse HandleShop(const TShopRequest& request);
  TShopResponse HandleAdmin(const TShopRequest& request);

 private:
  void Serve(const httplib::Request& req, httplib::Response& res);
  TShopResponse Route(const TShopRequest& request, bool anonymous);
  void SaveState();
  bool WaitOrStop(int milliseconds);  // true when stopped while waiting

  TStandinConfig Config;
  TStore Store;
  std::unique_ptr<TOAuthVerifier> Verifier;
  TFaults Faults;
  TRequestLog Log;
  std::unique_ptr<httplib::Server> Http;
  int BoundPort = 0;
  std::mutex StopMutex;
  std::condition_variable StopSignal;
  bool Stopping = false;
  std::mutex SaveMutex;
};

// Splits "a=1&b=x%20y" into decoded pairs, in order.
oauth::TParams ParseQuery(const std::string& query);

}  // namespace ooa::standin
