#include "PosDatabase.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ScratchFiles.h"

#include "config/Config.h"
#include "db/PosSchema.h"
#include "tsql/EmbeddedSession.h"

namespace ooa::fuzz {

namespace {

const char* const kProducts =
    "Update Profile Set POSInit=N'W', GenerateInvoiceNoKind=0, DefaultGSTRate=10;"
    "Insert Into Product(ProductCode, Description, GSTRate, MeasureQty, DeductStockQty, DeductStockQty1, "
    "StockQty1, StockValue1, CalcSalesCostKind, LastOrderPrice, SalesPrice1, SalesPrice2) Values"
    "(N'BEER', N'Lager', 10, 1, 1, 6, 120, 240, 0, 1.5, 3.5, 18),"
    "(N'WINE', N'Shiraz', 10, 1, 1, 1, 10, 100, 1, 12.5, 20, 0),"
    "(N'1001', N'Milk', 0, 1000, 1000, 250, 0.0005, 3, 0, 4, 10, 20);";

struct TDatabaseFile {
  std::string Dir, File;

  TDatabaseFile() {
    Dir = ScratchPath("/tmp", "");
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
    if (!std::filesystem::create_directory(Dir, ec)) {
      std::fprintf(stderr, "cannot create %s: %s\n", Dir.c_str(), ec.message().c_str());
      std::abort();
    }
    File = Dir + "/pos.db";
    auto session = CreateEmbeddedSession(File, /*createIfMissing=*/true);
    session->Open();
    session->Execute(PosSchemaBatch({"1"}));
    session->Execute(kProducts);
    session->Close();
  }
};

const TDatabaseFile& DatabaseFile() {
  static const TDatabaseFile file;
  return file;
}

tsql::TCatalog LoadCatalog() {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(DatabaseFile().File.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) std::abort();
  tsql::TCatalog catalog;
  catalog.Load(db);
  sqlite3_close_v2(db);
  return catalog;
}

}  // namespace

const tsql::TCatalog& PosCatalog() {
  static const tsql::TCatalog catalog = LoadCatalog();
  return catalog;
}

void ConnectToPosDatabase(TDatabaseModule& db) {
  TConfig config;
  config.ServerName = "(EMBEDDED)";
  config.DatabaseName = DatabaseFile().File;
  config.WarehouseCode = "1";
  // Files kept beside the settings (the problems list) go to the scratch folder.
  SetConfigPath(DatabaseFile().Dir + "/OnlineService.ini");
  SetConfig(config);
  if (!db.ConnectToServer(config)) {
    std::fprintf(stderr, "cannot open the fuzz POS database %s\n", config.DatabaseName.c_str());
    std::abort();
  }
}

}  // namespace ooa::fuzz
