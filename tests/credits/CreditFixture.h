// A fresh embedded POS database holding one imported online invoice, W2600001,
// for the credit note tests: two lines (BEER 2 at 3.50, WINE 1 at 20.00, IDs
// 1 and 2), a shop payment of 30 and a deposit of 10, a freight of 5 and a
// loyalty redemption. Test thread only; the file goes with the fixture.
#pragma once

#include <string>

#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "support/TempDir.h"

namespace ooa::test {

class TCreditFixture {
 public:
  TCreditFixture();
  ~TCreditFixture();

  // Runs a batch without rows; fails the test on an error.
  void Exec(const std::string& sql);

  TConfig Config;
  TDatabaseModule Db;

 private:
  TTempDir Dir;
  std::string File;
};

}  // namespace ooa::test
