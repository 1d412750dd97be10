// Memory of the idle headless service: the built program runs as a Linux
// service runs it (online-order-adaptor --headless) against the stand-in
// shop and an embedded POS database with a generated catalogue of 20,000
// products (GeneratedCatalogue.h) not yet in the shop. Once its first
// catalogue pass has uploaded them all and its first order pass has ended
// (the shop has no orders), between passes, its resident memory is read from
// /proc, and its peak so far. The service waits about 25 s before its first
// catalogue pass, so a run takes a minute or two.
//
//   bench_idle_memory [products]
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "BenchFigure.h"
#include "GeneratedCatalogue.h"
#include "ShopStandinProcess.h"

namespace {

using namespace ooa;

// A value in kB of /proc/PID/status ("VmRSS", "VmHWM"), in MB; -1 when absent.
double StatusMegabytes(pid_t pid, const std::string& key) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key + ":", 0) == 0) return std::atof(line.c_str() + key.size() + 1) / 1024.0;
  return -1;
}

// The first column of the first row of a query, or -1.
long long Scalar(const std::string& file, const char* sql) {
  sqlite3* db = nullptr;
  long long value = -1;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_busy_timeout(db, 5000);
    tsql::RegisterFunctions(db);  // the collation of the text columns
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
      value = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  const int products = argc > 1 ? std::atoi(argv[1]) : 20000;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("ooa-bench-idle-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "POS.DB").string();
  const std::string ini = (dir / "OnlineService.ini").string();
  const std::string log = (dir / "service.log").string();
  int status = 1;
  pid_t service = -1;
  try {
    bench::CreateCatalogue(file, products);
    bench::TStandin shop;
    shop.Start();
    std::ofstream(ini) << "[ApiConfig]\nServerName=(EMBEDDED)\nDatabaseName=" << file << "\nUrl=" << shop.Origin
                       << "/wp-json/wc/v3\nKey=ck_bench\nSecret=cs_bench\nWarehouseCode=1\nPrinterName=N/A\n"
                          "Desc1=1\nDesc2=2\n";
    const std::string program = std::string(OOA_BINARY_DIR) + "/src/app/online-order-adaptor";
    service = fork();
    if (service == 0) {
      // Its own session folder: the single-instance lock of another copy
      // running on this machine does not stop it.
      setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
      std::freopen(log.c_str(), "w", stdout);
      std::freopen(log.c_str(), "a", stderr);
      execl(program.c_str(), program.c_str(), "--headless", "--config", ini.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    const auto t0 = std::chrono::steady_clock::now();
    auto seconds = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(); };
    // The first order pass ends with the sync log's "orders" row; the
    // catalogue pass has ended 10 s before it.
    bool done = false;
    while (!done && seconds() < 600) {
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
      int wstatus = 0;
      if (waitpid(service, &wstatus, WNOHANG) == service) throw std::runtime_error("the service ended; see " + log);
      done = Scalar(file, "SELECT count(*) FROM OnlineSyncLog WHERE Event = 'orders'") > 0;
    }
    if (!done) throw std::runtime_error("no order pass within 10 minutes; see " + log);
    const long long linked = Scalar(file, "SELECT count(*) FROM ProductExtend WHERE WooID <> ''");
    std::this_thread::sleep_for(std::chrono::seconds(3));  // between passes: the next comes 25 s after the first
    const double rss = StatusMegabytes(service, "VmRSS"), peak = StatusMegabytes(service, "VmHWM");
    std::printf("service of %lld of %d products in the shop, idle between passes after %.0f s:\n", linked, products,
                seconds());
    std::printf("resident memory %.1f MB, peak %.1f MB\n", rss, peak);
    bench::PrintFigure("idle service, memory between passes after a 20,000-product catalogue pass", rss, 1, "MB",
                       "< 20 MB");
    bench::PrintFigure("idle service, peak memory of its first passes", peak, 1, "MB");
    status = linked == products && rss > 0 ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  if (service > 0) {
    kill(service, SIGTERM);
    waitpid(service, nullptr, 0);
  }
  if (status == 0) std::filesystem::remove_all(dir);
  return status;
}
