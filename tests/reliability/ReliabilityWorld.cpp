// The world of a reliability test: POS database, stand-in shop and service runs
// (see ReliabilityWorld.h).
#include "ReliabilityWorld.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <httplib.h>

#include "ProgramRun.h"
#include "support/PosDatabase.h"

namespace ooa::test {
namespace {

const char* const kCategories[] = {"WINE", "BEER", "SPIRITS", "SOFTDRINK", "SNACKS"};
const char* const kMembers[] = {"M10001", "M10002", "M10003"};
constexpr double kStartStock = 100000;

// A change time as the POS writes date-times (the service runs in UTC in these
// tests). The literal has whole seconds, so it is the next second: a pass that
// started within this second, before the change, must still see the row as
// changed after it.
std::string NowLiteral() {
  std::time_t t = std::time(nullptr) + 1;
  std::tm tm{};
  ::gmtime_r(&t, &tm);
  char text[32];
  std::strftime(text, sizeof text, "'%m/%d/%Y %H:%M:%S'", &tm);
  return text;
}

std::string Money(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", v);
  return text;
}

std::string LevelColumn(const std::string& base, int level) {
  return level == 1 ? base : base + std::to_string(level - 1);
}

TRows ParseRows(const std::string& text) {
  TRows rows;
  std::istringstream in(text);
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (line.empty()) break;  // only the first result set
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
      size_t tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    if (header)
      rows.Columns = std::move(fields);
    else
      rows.Values.push_back(std::move(fields));
    header = false;
  }
  return rows;
}

}  // namespace

size_t TRows::Column(const std::string& name) const {
  for (size_t i = 0; i < Columns.size(); ++i)
    if (Columns[i] == name) return i;
  throw std::runtime_error("no column " + name);
}

TReliabilityWorld::TReliabilityWorld(uint64_t seed) : Rng(seed), DbPath(Dir.File("POS.DB")) {
  CreatePosDatabase(DbPath, {"--demo"});
  ::mkdir(Dir.File("run").c_str(), 0700);
  ::mkdir(Dir.File("run-2").c_str(), 0700);
  WriteSettings();
}

TReliabilityWorld::~TReliabilityWorld() = default;

void TReliabilityWorld::AddProducts(int count) {
  const std::string now = NowLiteral();
  std::string sql;
  for (int i = 1; i <= count; ++i) {
    const int number = static_cast<int>(Products.size()) + 1;  // also keeps later calls' barcodes apart
    char code[16];
    std::snprintf(code, sizeof code, "R%05d", number);
    TGenProduct p;
    p.Code = code;
    p.Levels = i % 4 == 0 ? 3 : 1;
    const double deducts[] = {1, 6, 24};
    std::string cols = "ProductCode, Category, Description, Description1, OnlineOrderItem, ModifyDate, Live, "
                       "Scalable, TareWeight, GSTRate, GSTStatus, DefaultSalesPrice, MultiplePrice, StockControl, "
                       "MeasureQty, CalcSalesCostKind, LastOrderPrice, Location, StockQty1, StockValue1";
    std::string vals = "N'" + p.Code + "', N'" + kCategories[i % 5] + "', N'Generated product " + p.Code +
                       "', " + (i % 50 == 0 ? "N'产品 " + p.Code + "'" : std::string("N''")) + ", 1, " + now + ", 1, 0, 0, 10, 1, 0, " +
                       (p.Levels > 1 ? "1" : "0") + ", 1, 1, 0, 2.5, N'G" + std::to_string(i % 50) + "', " +
                       Money(kStartStock) + ", " + Money(kStartStock * 2.5);
    for (int level = 1; level <= p.Levels; ++level) {
      p.Deduct.push_back(deducts[level - 1]);
      cols += ", SalesPrice" + std::to_string(level) + ", OnlinePrice" + std::to_string(level) + ", " +
              LevelColumn("DeductStockQty", level) + ", " + LevelColumn(level == 1 ? "BarCode" : "Barcode", level);
      vals += ", " + Money(9.09 * deducts[level - 1]) + ", 0, " + Money(deducts[level - 1]) + ", N'99" +
              std::to_string(100000 + number) + std::to_string(level) + "'";
      if (p.Levels > 1) {
        cols += ", " + LevelColumn("SubDescription", level);
        vals += ", N'Pack of " + Money(deducts[level - 1]).substr(0, Money(deducts[level - 1]).find('.')) + "'";
      }
    }
    sql += "Insert Into Product (" + cols + ") Values (" + vals + ");\n";
    sql += "Insert Into ProductExtend (ProductCode, LastStockUpdatedAt) Values (N'" + p.Code + "', " + now + ");\n";
    StartStock[p.Code] = kStartStock;
    Products.push_back(std::move(p));
    if (i % 500 == 0 || i == count) {
      PosdbExec(DbPath, sql);
      sql.clear();
    }
  }
}

void TReliabilityWorld::ChangeProducts(int count) {
  if (Products.empty()) return;
  const std::string now = NowLiteral();
  std::string sql;
  std::uniform_int_distribution<size_t> pick(0, Products.size() - 1);
  for (int i = 0; i < count; ++i) {
    const TGenProduct& p = Products[pick(Rng)];
    sql += "Update Product Set Description = N'Renamed " + p.Code + " #" + std::to_string(Rng() % 1000) +
           "', SalesPrice1 = " + Money(5 + static_cast<double>(Rng() % 2000) / 100) + ", ModifyDate = " + now +
           " Where ProductCode = N'" + p.Code + "';\n";
  }
  PosdbExec(DbPath, sql);
}

void TReliabilityWorld::MarkStockChanged(int count) {
  std::set<std::string> codes;
  if (count < 0) {
    for (const TGenOrder& o : Orders)
      for (const TGenLine& l : o.Lines) codes.insert(l.Code);
  } else if (!Products.empty()) {
    std::uniform_int_distribution<size_t> pick(0, Products.size() - 1);
    for (int i = 0; i < count; ++i) codes.insert(Products[pick(Rng)].Code);
  }
  if (codes.empty()) return;
  std::string list;
  for (const std::string& code : codes) list += (list.empty() ? "N'" : ", N'") + code + "'";
  PosdbExec(DbPath, "Update ProductExtend Set LastStockUpdatedAt = " + NowLiteral() + " Where ProductCode In (" +
                        list + ");");
}

void TReliabilityWorld::WriteSettings(const std::string& printer) {
  Dir.Write("OnlineService.ini", "[ApiConfig]\nServerName=(EMBEDDED)\nDatabaseName=POS.DB\nUrl=" + Shop.BaseUrl() +
                                     "\nKey=ck_standin\nSecret=cs_standin\nPrinterName=" + printer +
                                     "\nWarehouseCode=1\nDebug=1\n");
}

std::string TReliabilityWorld::OrderJson(const TGenOrder& order, bool delivery) const {
  const bool member = !order.Member.empty();
  const std::string id = std::to_string(order.Id);
  double subtotal = 0;
  std::string lines;
  for (const TGenLine& l : order.Lines) {
    const double price = 10.0 * l.Qty * (l.Level == 1 ? 1 : l.Level * 4);
    subtotal += price * 1.1;
    std::string sku = l.Code;
    for (const TGenProduct& p : Products)
      if (p.Code == l.Code && p.Levels > 1) sku += "-PK" + std::to_string(l.Level);
    lines += std::string(lines.empty() ? "" : ",") + "{\"id\": " + std::to_string(l.LineId) + ", \"sku\": \"" + sku +
             "\", \"quantity\": " + std::to_string(l.Qty) + ", \"subtotal\": \"" + Money(price) +
             "\", \"subtotal_tax\": \"" + Money(price * 0.1) + "\", \"total\": \"" + Money(price) +
             "\", \"total_tax\": \"" + Money(price * 0.1) + "\"}";
  }
  const double freight = delivery ? 9.9 : 0;
  const std::string address = R"("first_name": "Zoë", "last_name": "O'Neil; --", "phone": "0411 555 0)" +
                              id.substr(id.size() - 3) +
                              R"(", "address_1": "1 Main St", "address_2": "", "city": "Hobart", "postcode": "7000", "state": "TAS", "country": "AU")";
  // Every order carries the loyalty entry; a guest's has no member code.
  const std::string meta =
      R"([{"key": "_qev_loyalty_redemption", "value": {"memberCode": ")" +
      order.Member +
           R"(", "redeemPointsDollar": "0", "pointsBalance": "100", "redeemPoints": "0", "redeemBasePoints": "0",)"
           R"( "dealCouponDiscount": "0", "couponId": "", "depositPayment": "0", "depositBalance": "0"}}])";
  return "{\"id\": " + id + ", \"status\": \"processing\", \"customer_id\": " + (member ? "57" : "0") +
         ", \"payment_method\": \"stripe\", \"shipping_total\": \"" + Money(freight) + "\", \"total\": \"" +
         Money(subtotal + freight) + "\", \"customer_note\": \"leave at the door\", \"billing\": {" + address +
         ", \"email\": \"buyer" + id + "@example.com\"}, \"shipping\": {" + address +
         "}, \"shipping_lines\": [{\"id\": " + std::to_string(order.Id * 10 + 9) + ", \"method_id\": \"" +
         (delivery ? "flat_rate" : "local_pickup") + "\", \"method_title\": \"" +
         (delivery ? "Delivery" : "Pickup") + "\", \"total\": \"" + Money(freight) + "\"}], \"line_items\": [" +
         lines + "], \"meta_data\": " + meta + "}";
}

void TReliabilityWorld::ShopActivity(int count, double cancelShare, double refundShare) {
  // Refunds and cancellations of orders sent earlier.
  std::uniform_real_distribution<double> chance(0, 1);
  const size_t earlier = Orders.size();
  for (size_t i = 0; i < earlier; ++i) {
    TGenOrder& o = Orders[i];
    if (o.Cancelled) continue;
    const double c = chance(Rng);
    if (o.Refunds == 0 && c < cancelShare) {
      AdminPost("/standin/orders/" + std::to_string(o.Id) + "/status", R"({"status": "cancelled"})");
      o.Cancelled = true;
      ++Cancellations;
    } else if ((o.Refunds == 0 && c < cancelShare + refundShare) || (o.Refunds == 1 && c < 0.3)) {
      // First step: one unit of the first line; second step: one unit of the last.
      const TGenLine& line = o.Refunds == 0 ? o.Lines.front() : o.Lines.back();
      if (o.Refunds == 1 && o.Lines.size() < 2) continue;
      // The loyalty plug-in adds its entry to every refund, as to every order.
      AdminPost("/standin/orders/" + std::to_string(o.Id) + "/refunds",
                R"({"reason": "damaged; 'sorry'", "line_items": [{"line_item_id": )" + std::to_string(line.LineId) +
                    R"(, "quantity": 1}], "meta_data": [{"key": "_qev_loyalty_redemption_refund", "value": {"memberCode": ")" +
                    o.Member +
                    R"(", "redeemPointsDollar": "0", "redeemPoints": "0", "dealCouponDiscount": "0", "depositPayment": "0"}}]})");
      ++o.Refunds;
      ++RefundCount;
    }
  }
  // New orders, numbered from the shop's one sequence of posts (orders,
  // refunds, products and variations), as a real shop numbers them: an
  // order never takes an id a refund already has.
  if (count <= 0 || Products.empty()) return;
  {
    const rapidjson::Document state = ShopState();
    if (state.IsObject() && state.HasMember("internal") && state["internal"].HasMember("next_post_id") &&
        state["internal"]["next_post_id"].IsInt64())
      NextOrderId = std::max(NextOrderId, state["internal"]["next_post_id"].GetInt64());
  }
  std::uniform_int_distribution<size_t> pick(0, Products.size() - 1);
  std::string body = "[";
  for (int i = 0; i < count; ++i) {
    TGenOrder o;
    o.Id = NextOrderId++;
    const int lines = 1 + static_cast<int>(Rng() % 3);
    for (int k = 0; k < lines; ++k) {
      const TGenProduct& p = Products[pick(Rng)];
      bool dup = false;
      for (const TGenLine& l : o.Lines) dup = dup || l.Code == p.Code;
      if (dup) continue;
      TGenLine l;
      l.LineId = o.Id * 10 + k + 1;
      l.Code = p.Code;
      l.Level = 1 + static_cast<int>(Rng() % p.Levels);
      l.Qty = 1 + static_cast<int>(Rng() % 3);
      o.Lines.push_back(l);
    }
    const bool member = Rng() % 2 == 0, delivery = Rng() % 2 == 0;
    if (member) o.Member = kMembers[o.Id % 3];
    body += (i ? "," : "") + OrderJson(o, delivery);
    Orders.push_back(std::move(o));
  }
  AdminPost("/standin/orders", body + "]");
}

std::unique_ptr<TProgramRun> TReliabilityWorld::StartPass(int copy) {
  const std::string suffix = copy == 0 ? "" : "-" + std::to_string(copy + 1);
  const std::string out = Dir.File("pass" + suffix);
  ::mkdir(out.c_str(), 0700);
  // The last run's output must not be mistaken for this one's.
  ::unlink((out + "/stdout.txt").c_str());
  ::unlink((out + "/stderr.txt").c_str());
  // The service runs in UTC, as the stand-in shop does, and gives up on the
  // shop after 1.5 s, so that a time-out costs little.
  return std::make_unique<TProgramRun>(std::vector<std::string>{"--once", "--config", Dir.File("OnlineService.ini")},
                                       std::map<std::string, std::string>{{"XDG_RUNTIME_DIR", Dir.File("run" + suffix)},
                                                                          {"DISPLAY", ""},
                                                                          {"WAYLAND_DISPLAY", ""},
                                                                          {"QT_QPA_PLATFORM", ""},
                                                                          {"TZ", "UTC"},
                                                                          {"OOA_SHOP_TIMEOUT_MS", "1500"}},
                                       out);
}

TPassRun TReliabilityWorld::RunPass(int killAfterMs) {
  const auto start = std::chrono::steady_clock::now();
  std::unique_ptr<TProgramRun> started = StartPass();
  TProgramRun& run = *started;
  TPassRun result;
  if (killAfterMs >= 0) {
    result.Status = run.Wait(killAfterMs);
    if (result.Status == -1) {
      run.Signal(SIGKILL);
      result.Killed = true;
    }
  }
  if (!result.Killed) {
    result.Status = run.Wait(240000);
    if (result.Status == -1) {
      run.Signal(SIGKILL);
      result.Status = run.Wait(10000);
      result.Err = "the pass did not end within 240 s\n";
    }
  } else {
    result.Status = run.Wait(10000);
  }
  result.Out = run.Stdout();
  result.Err += run.Stderr();
  result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ++RunNumber;
  return result;
}

TRows TReliabilityWorld::Query(const std::string& sql) const { return ParseRows(PosdbExec(DbPath, sql)); }

void TReliabilityWorld::Exec(const std::string& sql) const { PosdbExec(DbPath, sql); }

std::string TReliabilityWorld::AdminGet(const std::string& path) const {
  httplib::Client client(Shop.Origin());
  client.set_read_timeout(60, 0);
  auto answer = client.Get(path);
  if (!answer || answer->status >= 300) throw std::runtime_error("stand-in admin GET " + path + " failed");
  return answer->body;
}

void TReliabilityWorld::AdminPost(const std::string& path, const std::string& body) const {
  httplib::Client client(Shop.Origin());
  client.set_read_timeout(60, 0);
  auto answer = client.Post(path, body, "application/json");
  if (!answer || answer->status >= 300)
    throw std::runtime_error("stand-in admin POST " + path + " failed: " + (answer ? answer->body : "no answer"));
}

void TReliabilityWorld::AdminDelete(const std::string& path) const {
  httplib::Client client(Shop.Origin());
  auto answer = client.Delete(path);
  if (!answer || answer->status >= 300) throw std::runtime_error("stand-in admin DELETE " + path + " failed");
}

rapidjson::Document TReliabilityWorld::ShopState() const {
  rapidjson::Document doc;
  doc.Parse(AdminGet("/standin/state").c_str());
  if (!doc.IsObject()) throw std::runtime_error("the stand-in's state is not a JSON object");
  return doc;
}

}  // namespace ooa::test
