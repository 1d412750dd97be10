// Catalogue upload throughput: a generated catalogue of 20,000 products (every
// fifth variable with three price levels, every third with a translation) goes
// from the embedded POS database to the stand-in shop on loopback in one
// catalogue pass. Prints products per second, the number of requests, the
// adaptor's CPU time and peak memory, and the time a bare libcurl loop needs
// for the same request bodies, with the ratio of the two.
//
// Order: a first pass records the request bodies and warms the shop; the shop
// is emptied and the bare loop replays them; the shop is emptied again, the
// POS links are cleared and the measured pass runs. So both measured runs meet
// a shop process in the same state.
//
//   bench_catalog_upload [products]
//
// Afterwards it runs itself as `bench_catalog_upload --peak 50000`: one
// catalogue pass over a generated catalogue of 50,000 products in a process
// of its own, whose peak memory (the whole process: catalogue, rows, batch
// lists, requests) is the figure the service needs on a big shop.
//
// The POS database lies in the temporary folder (TMPDIR): the write-backs
// commit (together, as the next request leaves) while the pass runs, so on a
// disk the pass also waits for those writes, and on a memory file system
// (TMPDIR=/dev/shm) it does not.
//
// The pass's time is split into waiting for the shop's answers, time in the
// POS database (the query and the write-back batches) and the rest
// (building, signing, parsing). Write-backs committed while a request is out
// count in both of the first two, so the rest comes out below what building,
// signing and parsing take.
//
// The stand-in runs without signature checks, so the bare loop need not sign;
// the adaptor signs as always. Its requests are written to a file as they are
// sent, so recording them costs the pass no memory.
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <curl/curl.h>

#include "BenchFigure.h"
#include "GeneratedCatalogue.h"
#include "ShopStandinProcess.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "db/PosSchema.h"
#include "tsql/EmbeddedSession.h"
#include "tsql/Functions.h"
#include "sync/Passes.h"
#include "shop/WooModule.h"

namespace {

using namespace ooa;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

// ---- Recording the adaptor's requests ------------------------------------------

// Passes every request on and appends it to a file: method, URL without its
// query, body length, body.
class TRecordingTransport : public IHttpTransport {
 public:
  TRecordingTransport(std::unique_ptr<IHttpTransport> inner, FILE*& out, long& count, double& seconds)
      : Inner(std::move(inner)), Out(out), Count(count), Seconds(seconds) {}
  THttpResponse Send(const THttpRequest& request) override {
    ++Count;
    if (Out) {
      const std::string url = request.Url.substr(0, request.Url.find('?'));
      std::fprintf(Out, "%s %s %zu\n", request.Method.c_str(), url.c_str(), request.Body.size());
      std::fwrite(request.Body.data(), 1, request.Body.size(), Out);
    }
    const auto t0 = std::chrono::steady_clock::now();
    THttpResponse response = Inner->Send(request);
    Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return response;
  }

 private:
  std::unique_ptr<IHttpTransport> Inner;
  FILE*& Out;  // null: not recording
  long& Count;
  double& Seconds;
};

// The embedded session, timing what the module sends it.
class TTimedSession : public IDbSession {
 public:
  TTimedSession(std::unique_ptr<IDbSession> inner, double& seconds) : Inner(std::move(inner)), Seconds(seconds) {}
  void Open() override { Inner->Open(); }
  void Close() override { Inner->Close(); }
  bool IsOpen() const override { return Inner->IsOpen(); }
  TQueryResult Query(const std::string& batch) override {
    const auto t0 = std::chrono::steady_clock::now();
    TQueryResult result = Inner->Query(batch);
    Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return result;
  }
  void Execute(const std::string& batch) override {
    const auto t0 = std::chrono::steady_clock::now();
    Inner->Execute(batch);
    Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }
  void QueryInPieces(const std::string& batch, size_t rows,
                     const std::function<void(const TRecordSet&)>& piece) override {
    const auto t0 = std::chrono::steady_clock::now();
    Inner->QueryInPieces(batch, rows, piece);
    Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }

 private:
  std::unique_ptr<IDbSession> Inner;
  double& Seconds;
};

struct TRecorded {
  std::string Method, Url, Body;
};

std::vector<TRecorded> ReadRecorded(const std::string& file) {
  std::vector<TRecorded> out;
  FILE* in = std::fopen(file.c_str(), "rb");
  if (!in) return out;
  char method[16], url[2048];
  size_t length = 0;
  while (std::fscanf(in, "%15s %2047s %zu", method, url, &length) == 3) {
    std::fgetc(in);  // the newline
    TRecorded r{method, url, std::string(length, '\0')};
    if (length && std::fread(r.Body.data(), 1, length, in) != length) break;
    out.push_back(std::move(r));
  }
  std::fclose(in);
  return out;
}

size_t Discard(char*, size_t size, size_t count, void*) { return size * count; }

void Post(CURL* curl, const std::string& url, const std::string& body) {
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
  const CURLcode rc = curl_easy_perform(curl);
  if (rc != CURLE_OK) throw std::runtime_error("bare request failed: " + url + ": " + curl_easy_strerror(rc));
}

// One catalogue pass over `products` generated products in this process;
// prints its peak memory.
// The settings of a catalogue pass from the embedded file to the stand-in shop.
TConfig BenchConfig(const std::string& file, const std::string& shopOrigin) {
  TConfig config;
  config.ServerName = "(EMBEDDED)";
  config.DatabaseName = file;
  config.WarehouseCode = "1";
  config.Url = shopOrigin + "/wp-json/wc/v3";
  config.Key = "ck_bench";
  config.Secret = "cs_bench";
  config.Desc1 = 1;
  config.Desc2 = 2;
  return config;
}

int PeakRun(int products) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("ooa-bench-catalog-peak-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "POS.DB").string();
  int status = 0;
  try {
    bench::CreateCatalogue(file, products);
    bench::TStandin shop;
    shop.Start();
    const TConfig config = BenchConfig(file, shop.Origin);
    SetConfig(config);
    TDatabaseModule db;
    if (!db.ConnectToServer(config)) throw std::runtime_error("cannot open " + file);
    TWooModule woo(db);
    woo.Init(config);
    const auto t0 = std::chrono::steady_clock::now();
    RunCatalogPass(woo);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double peak = PeakMegabytes();
    const long linked =
        static_cast<long>(db.SelectRows("Select Count(*) From ProductExtend Where WooID <> ''").Rows[0][0].AsInteger());
    std::printf("%d products: %ld linked in %.1f s, peak memory of the process %.1f MB\n", products, linked, wall,
                peak);
    std::string count = std::to_string(products);
    for (int at = static_cast<int>(count.size()) - 3; at > 0; at -= 3) count.insert(static_cast<size_t>(at), ",");
    bench::PrintFigure("catalogue upload, peak memory (" + count + " products, one pass)", peak, 1, "MB",
                       "< 100 MB at 50,000 products");
    if (linked != products) status = 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    status = 1;
  }
  std::filesystem::remove_all(dir);
  return status;
}

// Runs this program again with the arguments; its exit status.
int RunSelf(const std::vector<std::string>& args) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    std::string self = "/proc/self/exe";
    argv.push_back(self.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(self.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) < 0) return 1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--peak") return PeakRun(std::atoi(argv[2]));
  const int products = argc > 1 ? std::atoi(argv[1]) : 20000;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("ooa-bench-catalog-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "POS.DB").string();
  const std::string recordFile = (dir / "requests.txt").string();
  int status = 0;
  try {
    const auto g0 = std::chrono::steady_clock::now();
    bench::CreateCatalogue(file, products);
    std::printf("catalogue of %d products generated in %.2f s\n", products,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - g0).count());

    bench::TStandin shop;
    shop.Start();
    const TConfig config = BenchConfig(file, shop.Origin);
    SetConfig(config);

    double database = 0;
    TDatabaseModule db([&database](const TDbConnectParams& params) -> std::unique_ptr<IDbSession> {
      return std::make_unique<TTimedSession>(CreateDbSession(params), database);
    });
    if (!db.ConnectToServer(config)) throw std::runtime_error("cannot open " + file);
    FILE* record = std::fopen(recordFile.c_str(), "wb");
    long requests = 0;
    double sending = 0;
    TWooModule woo(db, [&] {
      return std::make_unique<TRecordingTransport>(CreateHttpTransport(), record, requests, sending);
    });
    woo.Init(config);

    // First pass: records the bodies.
    RunCatalogPass(woo);
    std::fclose(record);
    record = nullptr;
    std::vector<TRecorded> recorded = ReadRecorded(recordFile);
    const std::size_t recordedCount = recorded.size();

    // The same bodies from a bare libcurl loop against an emptied shop.
    curl_global_init(CURL_GLOBAL_DEFAULT);
    CURL* curl = curl_easy_init();
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/json");
    headers = curl_slist_append(headers, "Expect:");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Discard);
    Post(curl, shop.Origin + "/standin/reset", "{}");
    const auto b0 = std::chrono::steady_clock::now();
    for (const TRecorded& r : recorded) Post(curl, r.Url, r.Body);
    const double bare = std::chrono::duration<double>(std::chrono::steady_clock::now() - b0).count();

    // The measured pass, from an emptied shop and unlinked POS rows.
    Post(curl, shop.Origin + "/standin/reset", "{}");
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    curl_global_cleanup();
    db.ExecQueryPro(
        "Update ProductExtend Set WooID = Null, Translate1 = Null, Translate2 = Null, Translate3 = Null, "
        "WooVarID1 = Null, WooVarID2 = Null, WooVarID3 = Null, WooVarID4 = Null, WooVarID5 = Null, "
        "WooVarID6 = Null, LastSyncedAt = Null, LastStockSyncedAt = Null;");
    recorded = {};
    requests = 0;
    sending = 0;
    database = 0;
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    RunCatalogPass(woo);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    const double peak = PeakMegabytes();

    const long linked =
        static_cast<long>(db.SelectRows("Select Count(*) From ProductExtend Where WooID <> ''").Rows[0][0].AsInteger());

    std::printf("products linked: %ld of %d\n", linked, products);
    std::printf("catalogue pass: %.2f s, %.0f products/s, %ld requests\n", wall, products / wall, requests);
    std::printf("adaptor CPU time: %.2f s, peak memory: %.1f MB\n", cpu, peak);
    std::printf("of the pass: waiting for the shop's answers %.2f s, in the POS database %.2f s, the rest %.2f s\n",
                sending, database, wall - sending - database);
    std::printf("bare libcurl loop, same %zu bodies: %.2f s (pass / loop = %.2f, target 1.3)\n", recordedCount,
                bare, wall / bare);
    bench::PrintFigure("catalogue upload, products per second (20,000 products)", products / wall, 0, "products/s",
                       "pass <= 1.3 x bare loop", wall / bare);
    bench::PrintFigure("catalogue upload, requests", static_cast<double>(requests), 0, "requests");
    bench::PrintFigure("catalogue upload, adaptor CPU time", cpu, 2, "s");
    bench::PrintFigure("catalogue upload, peak memory", peak, 1, "MB", "< 200 MB");
    bench::PrintFigure("catalogue upload, bare libcurl loop with the same bodies", bare, 2, "s");
    if (linked != products) status = 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    status = 1;
  }
  std::filesystem::remove_all(dir);
  if (status == 0) status = RunSelf({"--peak", "50000"});
  return status;
}
