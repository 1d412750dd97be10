// The stand-in over HTTPS with a self-signed certificate: clients that trust it
// pass (and sign with the https scheme), clients that do not are refused.
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "StandinHarness.h"

namespace ooa::standin::test {
namespace {

TEST(StandinTls, SelfSignedCertificateIsTrustedOnlyWhenConfigured) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("standin-tls-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string cert = (dir / "cert.pem").string(), key = (dir / "key.pem").string();
  std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 "
                        "-addext subjectAltName=IP:127.0.0.1 -keyout '" + key + "' -out '" + cert + "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  TStandinConfig config = HarnessConfig();
  config.CertFile = cert;
  config.KeyFile = key;
  {
    TStandinHarness shop(config, cert);
    EXPECT_EQ(shop.Origin().rfind("https://127.0.0.1:", 0), 0u);
    auto result = shop.Get("orders", {{"per_page", "5"}});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200) << result->body;

    httplib::Client untrusting(shop.Origin());
    untrusting.enable_server_certificate_verification(true);
    EXPECT_FALSE(untrusting.Get("/standin/clock"));
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace ooa::standin::test
