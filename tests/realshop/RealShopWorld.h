// One real-shop scenario's world: a new embedded POS database (posdb init,
// with or without the demo shop), the service's database and shop modules
// pointed at the shop of the environment (skipped without one), the passes as
// the scheduler runs them, and a signed client to read the shop's state back.
// The activity log (debug lines included) is kept and written to
// realshop-<test>.log in the working folder when a check fails. Test thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "realshop/RealShop.h"
#include "shop/WooModule.h"
#include "support/TempDir.h"

namespace ooa::test {

class TRealShopTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens a new POS database (demo rows or none) as the current one; an
  // earlier one is closed and kept in its file.
  void OpenPos(bool demo);
  void Exec(const std::string& sql);
  TRecordSet Rows(const std::string& sql);
  std::string Value(const std::string& sql);  // first column of the first row, "" without one

  void CataloguePass();
  void OrderPass();
  // Shop requests the last pass sent (its "URI: " log lines).
  int RequestsOfLastPass() const { return LastPassRequests; }
  // Waits so that a POS change made now is later, to the second, than the
  // last pass's sync time.
  void NextSecond();

  TShopAddress Address;
  std::unique_ptr<TShopClient> Shop;
  TTempDir Dir;
  TConfig Config;
  TMemoryLogSink Log;
  std::unique_ptr<TDatabaseModule> Db;
  std::unique_ptr<TWooModule> Woo;

 private:
  int Opened = 0;
  int LastPassRequests = 0;
  size_t LinesBefore = 0;
};

// The number in a money or quantity text ("21.00", "21", 21); NaN when none.
double Number(const rapidjson::Value* value);

}  // namespace ooa::test
