// The generated catalogue of the catalogue benchmarks: the POS schema of
// warehouse "1" with twenty categories already in the shop and `products`
// products (every fifth variable with three price levels, every third with a
// translation), none of them in the shop yet. Header-only; a benchmark's
// main thread.
#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "db/PosSchema.h"
#include "tsql/EmbeddedSession.h"
#include "tsql/Functions.h"

namespace ooa::bench {

namespace catalogue_detail {

inline void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

}  // namespace catalogue_detail

// Schema through the engine, rows straight into SQLite in one transaction.
inline void CreateCatalogue(const std::string& file, int products) {
  {
    auto session = CreateEmbeddedSession(file, true);
    session->Open();
    session->Execute(PosSchemaBatch({"1"}));
    // Twenty categories already in the shop and synced.
    std::string categories;
    for (int c = 0; c < 20; ++c)
      categories += "Insert Into Category (Category, Description, Description1, OnlineSales, WooID, Translate1, "
                    "LastUpdatedAt, LastSyncedAt) Values (N'C" + std::to_string(c) + "', N'Category " +
                    std::to_string(c) + "', N'Cat zh', 1, N'" + std::to_string(10 + c) + "', N'" +
                    std::to_string(40 + c) + "', '01/01/2026 00:00:00', '01/02/2026 00:00:00');";
    session->Execute(categories);
    session->Close();
  }
  sqlite3* db = nullptr;
  catalogue_detail::Check(sqlite3_open(file.c_str(), &db), db, "open");
  tsql::RegisterFunctions(db);  // the engine's collation of text columns and keys
  catalogue_detail::Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
  sqlite3_stmt* product = nullptr;
  sqlite3_stmt* extend = nullptr;
  catalogue_detail::Check(sqlite3_prepare_v2(db,
                           "INSERT INTO Product (ProductCode, Category, Description, Description1, OnlineOrderItem, "
                           "ModifyDate, Live, GSTRate, GSTStatus, MultiplePrice, StockControl, MeasureQty, "
                           "StockQty1, BarCode, SalesPrice1, SalesPrice2, SalesPrice3, DeductStockQty, "
                           "DeductStockQty1, DeductStockQty2, SubDescription, SubDescription1, SubDescription2) "
                           "VALUES (?1, ?2, ?3, ?4, 1, '2026-01-03 00:00:00.000', 1, 10, 1, ?5, 1, 1, ?6, ?7, "
                           "?8, ?9, ?10, 1, 6, 24, ?11, ?12, ?13)",
                           -1, &product, nullptr),
        db, "prepare product");
  catalogue_detail::Check(sqlite3_prepare_v2(db,
                           "INSERT INTO ProductExtend (ProductCode, LastStockUpdatedAt) VALUES (?1, "
                           "'2026-01-03 00:00:00.000')",
                           -1, &extend, nullptr),
        db, "prepare extend");
  for (int i = 0; i < products; ++i) {
    const std::string code = "B" + std::to_string(100000 + i);
    const bool variable = i % 5 == 0;
    const bool translated = i % 3 == 0;
    const std::string category = "C" + std::to_string(i % 20);
    const std::string name = "Product " + std::to_string(i);
    const std::string barcode = "93" + std::to_string(1000000000LL + i);
    sqlite3_bind_text(product, 1, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(product, 2, category.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(product, 3, name.c_str(), -1, SQLITE_TRANSIENT);
    if (translated) sqlite3_bind_text(product, 4, ("产品 " + std::to_string(i)).c_str(), -1, SQLITE_TRANSIENT);
    else sqlite3_bind_null(product, 4);
    sqlite3_bind_int(product, 5, variable ? 1 : 0);
    sqlite3_bind_double(product, 6, i % 97);
    sqlite3_bind_text(product, 7, barcode.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(product, 8, 1 + (i % 400) / 4.0);
    sqlite3_bind_double(product, 9, 5 + (i % 400) / 2.0);
    sqlite3_bind_double(product, 10, 18 + (i % 400));
    const char* subs[] = {"Single", "Six", "Carton"};
    for (int s = 0; s < 3; ++s) {
      if (variable) sqlite3_bind_text(product, 11 + s, subs[s], -1, SQLITE_STATIC);
      else sqlite3_bind_null(product, 11 + s);
    }
    catalogue_detail::Check(sqlite3_step(product), db, "insert product");
    sqlite3_reset(product);
    sqlite3_bind_text(extend, 1, code.c_str(), -1, SQLITE_TRANSIENT);
    catalogue_detail::Check(sqlite3_step(extend), db, "insert extend");
    sqlite3_reset(extend);
  }
  sqlite3_finalize(product);
  sqlite3_finalize(extend);
  catalogue_detail::Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
  sqlite3_close(db);
}

}  // namespace ooa::bench
