// A fresh embedded POS database for the order import tests: the POS schema
// with warehouse "1", the profile (prefix W, yearly numbering, GST 10 %) and
// the two products of the fixture order, plus any seed batch the test gives,
// with a database module connected to it. The settings path points into the
// fixture's folder while it lives, so files kept beside the settings (the
// problems list) are the test's own. In a run over ODBC the module reaches the
// file through `posdb serve` (PosServer.h). Test thread only; the files go
// with the fixture.
#pragma once

#include <string>

#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "support/PosServer.h"
#include "support/TempDir.h"

namespace ooa::test {

class TPosFixture {
 public:
  // seed: a batch run after the schema and products (before connecting).
  explicit TPosFixture(const std::string& seed = "");
  ~TPosFixture();

  // Runs a batch through the module and returns its first result set; a
  // database error fails the test and gives no rows.
  TRecordSet Rows(const std::string& sql);
  // Runs a batch without rows; fails the test on an error.
  void Exec(const std::string& sql);
  // A single value of the first row of a query.
  TDbValue Value(const std::string& sql);

  const std::string& Path() const { return File; }
  TConfig Config;  // (EMBEDDED), the file, warehouse "1"; installed with SetConfig
  TPosServer Server;  // outlives Db
  TDatabaseModule Db;

 private:
  TTempDir Dir;
  std::string File;
  std::string PreviousConfigPath;
};

// BEER: level 2 takes 6 stock units, average cost 2 (120 units worth 240).
// WINE: cost from its last order price 12.5; 10 in stock worth 100.
inline const char* const kFixtureProducts =
    "Insert Into Product(ProductCode, Description, GSTRate, MeasureQty, DeductStockQty, DeductStockQty1, "
    "StockQty1, StockValue1, CalcSalesCostKind, LastOrderPrice, SalesPrice1, SalesPrice2) "
    "Values(N'BEER', N'Lager', 10, 1, 1, 6, 120, 240, 0, 1.5, 3.5, 18);"
    "Insert Into Product(ProductCode, Description, GSTRate, MeasureQty, DeductStockQty, DeductStockQty1, "
    "StockQty1, StockValue1, CalcSalesCostKind, LastOrderPrice, SalesPrice1, SalesPrice2) "
    "Values(N'WINE', N'Shiraz', 10, 1, 1, 1, 10, 100, 1, 12.5, 20, 0);";

}  // namespace ooa::test
