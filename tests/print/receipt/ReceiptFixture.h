// Shared set-up of the receipt tests: an embedded POS database with the
// shop's profile, a member customer, a few products and one online invoice
// (W2600001, prices including GST) with freight, coupon, points, a line
// discount, a shop payment and a deposit; a printer stand-in as the receipt
// printer; the settings folder (footer file) in a temporary folder. The
// process-wide settings, printer, receipt options and locale are restored
// after each test. Test thread only.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "escpos-view/EscPosDecode.h"
#include "print/ReceiptSettings.h"
#include "support/PrinterStandin.h"
#include "support/PosServer.h"
#include "support/TempDir.h"

namespace ooa::test {

class TReceiptTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs a batch on the POS database; fails the test on an error.
  void Exec(const std::string& sql);
  // Prints the receipt of the invoice and returns the job the printer got
  // (empty when none came within waitMs).
  std::string Print(const std::string& invoiceNo = "W2600001", bool modified = false, int waitMs = 5000);
  // The receipt as a person reads it, each line without trailing spaces.
  static std::string Rendered(const std::string& job);
  static std::vector<std::string> Lines(const std::string& job) { return escpos::Decode(job).Lines(); }
  // The receipt options of the fixture profile, changed by the test.
  TReceiptSettings Settings;

  TTempDir Dir;
  TPosServer Server;  // outlives Db
  TDatabaseModule Db;
  TPrinterStandin Standin;

 private:
  TConfig SavedConfig;
  std::string SavedConfigPath;
};

}  // namespace ooa::test
