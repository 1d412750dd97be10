// THistoryWorld: a till after years of trading, for the tests of what the
// service's statements cost on a large POS database. The demo shop's
// database (posdb init --demo, warehouse 1) with a history of earlier invoices,
// their lines and payments (a rounding row each), credit notes, further
// customers and products; the stand-in shop on loopback; a database module
// that records every batch it sends (TBatchRecorder); a shop module wired to
// both; receipts printed to a file. Test thread only; everything goes with
// the fixture.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "shop/WooModule.h"
#include "support/BatchRecorder.h"
#include "support/FixedClock.h"
#include "support/ShopStandin.h"
#include "support/TempDir.h"

namespace ooa::test {

class THistoryWorld : public ::testing::Test {
 protected:
  static constexpr int kHistoryInvoices = 400;

  THistoryWorld();
  ~THistoryWorld() override;

  // Runs a batch on the POS database past the recording module.
  void Exec(const std::string& sql);
  int64_t Count(const std::string& sql);
  // The stand-in shop's admin routes (plain HTTP).
  void AdminPost(const std::string& path, const std::string& body);
  // Settings of the world with another printer.
  void UsePrinter(const std::string& printer);

  TFixedClock FixedClock{TDateTime::FromCivil(2026, 12, 8, 3, 41, 0), 600};
  TScopedClock UseClock{FixedClock};
  TTempDir Dir;
  std::string File;
  TBatchRecorder Recorder;
  TDatabaseModule Db{Recorder.Factory()};
  TShopStandin Shop;
  TWooModule Woo{Db};
  TMemoryLogSink Log;
  TConfig Config;
};

}  // namespace ooa::test
