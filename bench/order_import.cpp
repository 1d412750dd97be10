// Order import throughput: varied shop orders (VariedOrders.h: 1 to 20 lines,
// members and guests, with and without deposit, coupon, phone or second
// address line) go the whole way the order pass takes them, on one thread:
// the JSON text parsed, the order calculated and written as an invoice in
// one batch on the embedded POS database, and the receipt hook run with the
// printer "N/A". Twice: into a POS database without history, and into one
// with a history of 300,000 invoices with their lines and payments
// (HistoryDatabase.h; the full POS schema and its indexes either way). Then
// once more into the history with the receipt printed to a file, so that
// the receipt's queries count too. Each run first imports other orders
// untimed (a tenth as many, at least 200): the engine compiles the batch
// shapes it meets and reads the upper pages of the tables' indexes, costs a
// pass pays once. Prints orders per second and CPU time per order for each.
//
//   bench_order_import [orders]   (default 2000 orders per run)
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "BenchFigure.h"
#include "HistoryDatabase.h"
#include "VariedOrders.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "sync/OrderReceipt.h"
#include "sync/OrderImport.h"
#include "sync/OrderSyncPass.h"
#include "sync/PrintParams.h"

namespace {

using namespace ooa;

constexpr int kHistory = 300000;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct TRun {
  int Written = 0;
  double Wall = 0, Cpu = 0;
};

// Imports the orders into a copy of the database with `history` invoices.
TRun Import(const std::vector<std::string>& warmups, const std::vector<std::string>& orders, int history,
            const std::string& printer, const std::filesystem::path& dir) {
  const std::string file = (dir / ("POS-" + std::to_string(history) + ".DB")).string();
  bench::HistoryDatabase(history, file);
  TConfig config;
  config.ServerName = "(EMBEDDED)";
  config.DatabaseName = file;
  config.WarehouseCode = "1";
  config.PrinterName = printer;
  SetConfig(config);
  TRun run;
  {
    TDatabaseModule db;
    if (!db.ConnectToServer(config)) {
      std::fprintf(stderr, "cannot open %s\n", file.c_str());
      return run;
    }
    ReadPrintParams(db);
    TOrderPassState pass;  // no problems list: a receipt that fails is only reported
    auto import = [&](const std::vector<std::string>& texts) {
      int written = 0;
      for (const std::string& text : texts) {
        rapidjson::Document order;
        order.Parse<rapidjson::kParseNumbersAsStringsFlag>(text.c_str());
        std::string invoiceNo, msg;
        bool modified = false;
        if (ProcessOrder(db, order, invoiceNo, msg, modified)) {
          ++written;
          PrintOrderReceipt(pass, db, "", invoiceNo, false, modified);
        } else {
          std::fprintf(stderr, "order failed: %s\n", msg.c_str());
        }
      }
      return written;
    };
    import(warmups);
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    run.Written = import(orders);
    run.Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    run.Cpu = CpuSeconds() - cpu0;
  }
  std::filesystem::remove(file);
  std::filesystem::remove(file + "-wal");
  std::filesystem::remove(file + "-shm");
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("ooa-bench-orders-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::mt19937 rng(20261208);
  std::vector<std::string> orders, warmups;
  orders.reserve(count);
  for (int i = 0; i < count; ++i) orders.push_back(bench::VariedOrder(100000 + i, rng));
  for (int i = 0; i < std::max(count / 10, 200); ++i) warmups.push_back(bench::VariedOrder(900000 + i, rng));

  const TRun empty = Import(warmups, orders, 0, "N/A", dir);
  const TRun history = Import(warmups, orders, kHistory, "N/A", dir);
  const TRun printed = Import(warmups, orders, kHistory, "file:" + (dir / "receipts.bin").string(), dir);
  std::filesystem::remove_all(dir);

  auto report = [&](const char* what, const TRun& r) {
    std::printf("%-52s %d of %d written, %.0f orders/s, CPU %.3f ms per order\n", what, r.Written, count,
                r.Written / r.Wall, r.Cpu * 1000 / count);
  };
  report("varied orders, no history:", empty);
  report("varied orders, 300,000-invoice history:", history);
  report("varied orders, history, receipts printed to a file:", printed);
  std::printf("history / no history (time): %.2f  (target: at most 1.3); CPU time: %.2f\n", history.Wall / empty.Wall,
              history.Cpu / empty.Cpu);
  bench::PrintFigure("order import, varied orders, no history", empty.Written / empty.Wall, 0, "orders/s");
  bench::PrintFigure("order import, varied orders, 300,000-invoice history", history.Written / history.Wall, 0,
                     "orders/s", ">= 1000 orders/s; <= 1.3 x the time without history (ratio)",
                     history.Wall / empty.Wall);
  bench::PrintFigure("order import, CPU time per order, no history", empty.Cpu * 1000 / count, 3, "ms");
  bench::PrintFigure("order import, CPU time per order, 300,000-invoice history", history.Cpu * 1000 / count, 3,
                     "ms", "-", history.Cpu / empty.Cpu);
  bench::PrintFigure("order import, history, receipts printed to a file", printed.Written / printed.Wall, 0,
                     "orders/s");
  const bool all = empty.Written == count && history.Written == count && printed.Written == count;
  return all ? 0 : 1;
}
