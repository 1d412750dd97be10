// TShopStandin: runs the shop-standin tool (the stand-in shop) on a free
// loopback port for one test. Started by the constructor, stopped by Stop()
// or the destructor. Test thread only.
//
// Tests that use it must build the tool first (tests/CMakeLists.txt makes
// every test folder depend on shop-standin).
#pragma once


#include <string>
#include <thread>
#include <vector>

#include "support/ServerProcess.h"

namespace ooa::test {

class TShopStandin {
 public:
  struct TOptions {
    std::string Key = "ck_standin";
    std::string Secret = "cs_standin";
    std::string CertFile, KeyFile;    // both set: HTTPS
    std::vector<std::string> Extra;   // further command-line options of the tool
  };

  // Starts the tool; throws std::runtime_error when it does not come up
  // within 10 seconds.
  explicit TShopStandin(const TOptions& options);
  TShopStandin() : TShopStandin(TOptions{}) {}
  ~TShopStandin();
  TShopStandin(const TShopStandin&) = delete;
  TShopStandin& operator=(const TShopStandin&) = delete;

  // "http://127.0.0.1:PORT" (https with a certificate).
  const std::string& Origin() const { return OriginText; }
  // The REST base URL the adaptor is configured with: Origin() + "/wp-json/wc/v3".
  std::string BaseUrl() const { return OriginText + "/wp-json/wc/v3"; }

  // Stops the tool (SIGTERM, then SIGKILL after 5 seconds). Idempotent.
  void Stop();

 private:
  TServerProcess Process;
  std::string OriginText;
};

// Path of the built shop-standin binary.
std::string ShopStandinPath();

}  // namespace ooa::test
