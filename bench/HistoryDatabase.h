// A POS database with years of history for the benchmarks: the full POS
// schema of warehouse "1" (every table and index posdb creates) with the
// varied orders' catalogue (VariedOrders.h), 50,000 customers (among them
// the members M1 to M5000 the varied orders name) and earlier invoices of
// last year and this year (W25..., W26...), each with three lines and two
// payment rows (the shop's payment and a rounding row), one in twenty with a
// credit note and its reversal row. Built once into
// OOA_BINARY_DIR/bench-data/ (it takes a while) and copied for each run,
// since a run adds to it. Header-only; the benchmark's main thread.
#pragma once

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "VariedOrders.h"
#include "db/PosSchema.h"
#include "tsql/EmbeddedSession.h"
#include "tsql/Functions.h"

namespace ooa::bench {

namespace history_detail {

inline void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

inline std::string Numbered(const char* prefix, int n, int digits) {
  char b[32];
  std::snprintf(b, sizeof b, "%s%0*d", prefix, digits, n);
  return b;
}

struct TStatement {
  sqlite3* Db;
  sqlite3_stmt* St = nullptr;
  TStatement(sqlite3* db, const char* sql) : Db(db) { Check(sqlite3_prepare_v2(db, sql, -1, &St, nullptr), db, sql); }
  ~TStatement() { sqlite3_finalize(St); }
  TStatement& Text(int i, const std::string& s) {
    sqlite3_bind_text(St, i, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    return *this;
  }
  TStatement& Number(int i, double v) {
    sqlite3_bind_double(St, i, v);
    return *this;
  }
  void Run() {
    Check(sqlite3_step(St), Db, sqlite3_sql(St));
    sqlite3_reset(St);
  }
};

// An empty POS database with the varied catalogue; the history is added by Fill.
inline void CreateEmpty(const std::string& file) {
  auto session = CreateEmbeddedSession(file, true);
  session->Open();
  session->Execute(PosSchemaBatch({"1"}));
  session->Execute("Update Profile Set POSInit=N'W', GenerateInvoiceNoKind=0, DefaultGSTRate=10;");
  session->Execute(VariedProductsBatch());
}

inline void Fill(const std::string& file, int invoices) {
  sqlite3* db = nullptr;
  Check(sqlite3_open(file.c_str(), &db), db, "open");
  tsql::RegisterFunctions(db);  // the collation of the text columns and keys
  Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
  {
    TStatement customer(db, "INSERT INTO Customer (CustomerCode, CustomerName, Mobile, Address, IsMember) "
                            "VALUES (?1, ?2, '0400 000 000', '1 Main St', 1)");
    for (int c = 1; c <= 50000; ++c) {
      const std::string code = c <= 5000 ? "M" + std::to_string(c) : Numbered("H", c, 5);
      customer.Text(1, code).Text(2, "Customer " + std::to_string(c)).Run();
    }
    TStatement head(db, "INSERT INTO InvoiceHead (InvoiceNo, ReferenceNo, KindFlag, InvoiceDate, TransferDateTime, "
                        "CustomerCode, Amount, GST, PaidAmount, OnlineOrder, OnlineOrderId, OnlineOrderStatus, "
                        "Notes) VALUES (?1, ?2, ?3, ?4, ?4, ?5, ?6, ?7, ?6, 1, ?8, 'processing', ?9)");
    TStatement line(db, "INSERT INTO InvoiceItem (InvoiceNo, ID, ProductCode, Qty, Price, NetPrice, GSTRate, "
                        "UnitCost, KindFlag, DeductStockQty, WarehouseCode) VALUES (?1, ?2, ?3, ?4, ?5, ?5, 10, 2, "
                        "?6, 1, '1')");
    TStatement pay(db, "INSERT INTO RecvAcct (InvoiceNo, IDNo, AccountDate, RecordDateTime, PaidAmount, PayBy, "
                       "Notes, Repayment, OpName) VALUES (?1, ?2, ?3, ?3, ?4, ?5, ?6, ?7, 'Online')");
    int credits[2] = {0, 0};
    for (int i = 1; i <= invoices; ++i) {
      // The first half last year, the second this year.
      const int year = i <= invoices / 2 ? 25 : 26;
      const int n = year == 25 ? i : i - invoices / 2;
      const std::string no = Numbered(year == 25 ? "W25" : "W26", n, 6);
      const std::string date = (year == 25 ? "2025-" : "2026-") + Numbered("", 1 + i % 12, 2) + "-" +
                               Numbered("", 1 + i % 28, 2) + " 10:00:00.000";
      const std::string customer = i % 3 ? "M" + std::to_string(1 + i % 5000) : Numbered("H", 5001 + i % 45000, 5);
      head.Text(1, no).Text(3, "6").Text(4, date).Text(5, customer).Number(6, 33.02).Number(7, 3);
      head.Text(8, std::to_string(10000000 + i));
      sqlite3_bind_null(head.St, 2);
      sqlite3_bind_null(head.St, 9);
      head.Run();
      for (int l = 1; l <= 3; ++l)
        line.Text(1, no).Number(2, l).Text(3, VariedProductCode(1 + (i * 7 + l) % kVariedProducts))
            .Number(4, 1 + l % 2).Number(5, 11).Text(6, "6").Run();
      pay.Text(1, no).Number(2, 1).Text(3, date).Number(4, 33.04).Text(5, "stripe").Text(6, "Online Payment")
          .Number(7, 0).Run();
      pay.Text(1, no).Number(2, 2).Text(3, date).Number(4, -0.02).Text(5, "ROUNDING").Text(6, "").Number(7, 0).Run();
      if (i % 20 != 0) continue;
      const std::string cn = Numbered(year == 25 ? "CN25" : "CN26", ++credits[year - 25], 5);
      head.Text(1, cn).Text(2, no).Text(3, "5").Text(4, date).Text(5, customer).Number(6, -11).Number(7, -1);
      sqlite3_bind_null(head.St, 8);
      head.Text(9, "Credit note");
      head.Run();
      line.Text(1, cn).Number(2, 1).Text(3, VariedProductCode(1 + (i * 7 + 1) % kVariedProducts)).Number(4, -1)
          .Number(5, 11).Text(6, "5").Run();
      pay.Text(1, no).Number(2, 3).Text(3, date).Number(4, -11).Text(5, "stripe").Text(6, cn).Number(7, 1).Run();
    }
  }
  Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
  sqlite3_close(db);
}

}  // namespace history_detail

// Copies the history database of `invoices` invoices to file (building it
// first when it is not kept yet); with 0 invoices, creates an empty one.
inline void HistoryDatabase(int invoices, const std::string& file) {
  namespace fs = std::filesystem;
  if (invoices == 0) {
    history_detail::CreateEmpty(file);
    return;
  }
  const fs::path kept = fs::path(OOA_BINARY_DIR) / "bench-data" / ("history-" + std::to_string(invoices) + ".db");
  if (!fs::exists(kept)) {
    fs::create_directories(kept.parent_path());
    const fs::path making = kept.string() + ".making";
    fs::remove(making);
    std::printf("building the history database %s (once) ...\n", kept.c_str());
    std::fflush(stdout);
    history_detail::CreateEmpty(making.string());
    history_detail::Fill(making.string(), invoices);
    fs::rename(making, kept);
  }
  fs::copy_file(kept, file, fs::copy_options::overwrite_existing);
  // On the disk before the run, as a shop's database is: else the run's
  // first checkpoint would wait for the whole copy to be written.
  const int fd = ::open(file.c_str(), O_RDONLY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace ooa::bench
