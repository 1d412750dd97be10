// The order pass's world for the hardening tests: the order fixture's POS
// database (warehouse 1, products BEER and WINE), the stand-in shop on
// loopback, a shop module wired to both, and the activity log captured.
// Test thread only; everything goes with the fixture.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "support/PosFixture.h"
#include "shop/WooModule.h"
#include "support/FixedClock.h"
#include "support/ShopStandin.h"

namespace ooa::test {

// The consumer secret of every hardening test's shop: distinctive, so a test
// can tell that it never reaches the activity log.
inline const char* const kDistinctSecret = "cs_Qz7vK2pW9xLmN4tR8";

inline TShopStandin::TOptions DistinctCredentials() {
  TShopStandin::TOptions options;
  options.Key = "ck_hardening";
  options.Secret = kDistinctSecret;
  return options;
}

class TOrderWorld : public ::testing::Test {
 protected:
  TOrderWorld();
  ~TOrderWorld() override;

  // Installs settings changed from the fixture's (shop URL, key and secret
  // filled in) and re-initialises the shop channels with them.
  void Configure(const TConfig& config);
  TConfig Settings() const;

  // ---- Stand-in shop (plain HTTP admin routes) ----
  void AdminPost(const std::string& path, const std::string& body);
  std::string AdminGet(const std::string& path);
  // Number of shop API requests the stand-in received.
  size_t ShopRequestCount();

  int64_t Count(const std::string& sql) { return Pos.Value(sql).AsInteger(); }
  std::vector<std::string> LogLines() const { return Log.Lines(); }

  TFixedClock FixedClock{TDateTime::FromCivil(2026, 12, 8, 3, 41, 0), 600};
  TScopedClock UseClock{FixedClock};
  TPosFixture Pos;
  TShopStandin::TOptions ShopOptions = DistinctCredentials();
  TShopStandin Shop{ShopOptions};
  TWooModule Woo{Pos.Db};
  TMemoryLogSink Log;
};

// A member order in the shop's shape with one line of BEER at level 2 (and
// a second line of one unit of `extraSku` when given); `billing` and
// `shipping` are the JSON objects' members (without braces).
std::string MemberOrder(int id, const std::string& memberCode, const std::string& billing,
                        const std::string& shipping, const std::string& couponId = "",
                        const std::string& extraSku = "");

// A JSON string literal (quotes included) for any bytes.
std::string JsonString(const std::string& text);

}  // namespace ooa::test
