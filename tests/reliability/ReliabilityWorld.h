// TReliabilityWorld: one shop and one till for a reliability test. A fresh
// embedded POS database (the demo shop plus generated products), the stand-in
// shop as a child process, a settings file pointing at both, and the built
// service run as `--once` passes, each a child process that may be killed at a
// chosen moment. It generates the shop's orders, refunds and cancellations from
// a seeded random source and remembers what it made, so the end-state checks
// can compare. Test thread only; the world owns its folder and processes.
#pragma once

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "support/ShopStandin.h"
#include "support/TempDir.h"

namespace ooa::test {

class TProgramRun;

// The rows of one result set, as posdb prints them (text; NULL as "NULL").
struct TRows {
  std::vector<std::string> Columns;
  std::vector<std::vector<std::string>> Values;
  size_t Column(const std::string& name) const;
};

struct TGenProduct {
  std::string Code;
  int Levels = 1;                 // price levels sold online (1: a simple product)
  std::vector<double> Deduct;     // stock units one sale of level i takes
};

struct TGenLine {
  int64_t LineId = 0;
  std::string Code;
  int Level = 1;
  int Qty = 1;
};

struct TGenOrder {
  int64_t Id = 0;
  std::vector<TGenLine> Lines;
  std::string Member;  // member code; "" for a guest
  bool Cancelled = false;
  int Refunds = 0;  // refunds made at the shop
};

struct TPassRun {
  int Status = -1;     // exit status; 128 + 9 when killed
  bool Killed = false;
  std::string Out, Err;
  double Seconds = 0;
};

class TReliabilityWorld {
 public:
  // seed drives every random choice of the world.
  explicit TReliabilityWorld(uint64_t seed);
  ~TReliabilityWorld();

  // Adds `count` products (codes R00001, ...) to the POS, a quarter of them
  // with three price levels, one in fifty with a translated name, each with
  // ample stock; batches of 500.
  void AddProducts(int count);
  // Gives `count` random generated products a new name and price, as the shop
  // owner would at the till.
  void ChangeProducts(int count);
  // Marks stock as changed, as the till does after sales, so that the next
  // catalogue pass sends it to the shop: `count` random generated products, or
  // with -1 every product an order names.
  void MarkStockChanged(int count = -1);
  // Writes the settings file; printer "N/A" prints nothing.
  void WriteSettings(const std::string& printer = "N/A");

  // Sends `count` new orders to the shop (members and guests, pickup and
  // delivery), then cancels and refunds some earlier ones (refunds may come in
  // two steps).
  void ShopActivity(int count, double cancelShare = 0.01, double refundShare = 0.015);

  // One `--once` run of the service; killAfterMs >= 0 sends SIGKILL after that
  // long unless it ended before. Gives up (and kills) after 240 s.
  TPassRun RunPass(int killAfterMs = -1);
  // Starts one `--once` run and leaves it to the caller.
  // copy 0 is the usual service; copy 1 is a second copy of the program on
  // the same settings and POS database, as from another user session (its
  // own single-instance guard and output folder).
  std::unique_ptr<TProgramRun> StartPass(int copy = 0);

  TRows Query(const std::string& sql) const;
  void Exec(const std::string& sql) const;

  std::string AdminGet(const std::string& path) const;
  void AdminPost(const std::string& path, const std::string& body) const;
  void AdminDelete(const std::string& path) const;
  rapidjson::Document ShopState() const;

  const std::string& DbFile() const { return DbPath; }
  const TTempDir& Folder() const { return Dir; }
  std::mt19937_64& Random() { return Rng; }

  std::vector<TGenProduct> Products;        // the generated ones
  std::map<std::string, double> StartStock; // StockQty1 of each generated product at the start
  std::vector<TGenOrder> Orders;            // every order sent to the shop
  int Cancellations = 0, RefundCount = 0;

 private:
  std::string OrderJson(const TGenOrder& order, bool delivery) const;

  std::mt19937_64 Rng;
  TTempDir Dir;
  std::string DbPath;
  TShopStandin Shop;
  int64_t NextOrderId = 100001;  // at least the shop's next post id
  int RunNumber = 0;
};

}  // namespace ooa::test
