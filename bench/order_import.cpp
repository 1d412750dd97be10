// Order import throughput: 2,000 synthetic shop orders of five lines each go
// the whole way (JSON parse, calculation, invoice batch, embedded POS
// database) on one thread. Prints orders per second and CPU time per order.
//
//   bench_order_import [orders]
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "BenchFigure.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "db/PosSchema.h"
#include "db/embedded/EmbeddedSession.h"

namespace {

using namespace ooa;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string SyntheticOrder(int id) {
  std::string lines;
  for (int l = 0; l < 5; ++l) {
    if (l) lines += ",";
    lines += R"({"sku":"P)" + std::to_string(l) + (l % 2 ? "-PK2" : "") + R"(","quantity":)" +
             std::to_string(1 + l) + R"(,"subtotal":"10.00","subtotal_tax":"1.00"})";
  }
  const std::string member = id % 3 ? "M" + std::to_string(id % 500) : "";
  return R"({"id":)" + std::to_string(id) +
         R"(,"status":"processing","customer_id":)" + std::to_string(id % 700) +
         R"(,"date_created_gmt":"2026-03-05T01:02:03","date_modified_gmt":"2026-03-05T01:03:00",
  "date_paid_gmt":"2026-03-05T01:02:30","payment_method":"stripe","shipping_total":"9.95","total":"64.95",
  "billing":{"first_name":"Ann","last_name":"O'Neil","phone":"0411","email":"a@x.au","address_1":"1 Main St",
             "address_2":"","city":"Hobart","postcode":"7000","state":"TAS","country":"AU"},
  "shipping":{"first_name":"Ann","last_name":"O'Neil","phone":"0422","address_1":"1 Main St","address_2":"",
              "city":"Hobart","postcode":"7000","state":"TAS","country":"AU"},
  "shipping_lines":[{"id":1,"method_id":"flat_rate","total":"9.95"}],
  "line_items":[)" + lines + R"(],
  "meta_data":[{"id":1,"key":"_qev_loyalty_redemption","value":{"memberCode":")" + member +
         R"(","redeemPointsDollar":"0","pointsBalance":"10","redeemPoints":"0","redeemBasePoints":"0",
  "dealCouponDiscount":"0","couponId":"","depositPayment":"5","depositBalance":"10"}}],"refunds":[]})";
}

}  // namespace

int main(int argc, char** argv) {
  const int orders = argc > 1 ? std::atoi(argv[1]) : 2000;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("ooa-bench-orders-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "POS.DB").string();
  {
    auto session = CreateEmbeddedSession(file, true);
    session->Open();
    session->Execute(PosSchemaBatch({"1"}));
    std::string products;
    for (int p = 0; p < 5; ++p)
      products += "Insert Into Product(ProductCode, GSTRate, MeasureQty, DeductStockQty1, StockQty1, StockValue1, "
                  "SalesPrice1, SalesPrice2) Values(N'P" +
                  std::to_string(p) + "', 10, 1, 6, 100000, 250000, 3, 17);";
    session->Execute(products);
    session->Close();
  }
  TConfig config;
  config.ServerName = "(EMBEDDED)";
  config.DatabaseName = file;
  config.WarehouseCode = "1";
  SetConfig(config);
  TDatabaseModule db;
  if (!db.ConnectToServer(config)) {
    std::fprintf(stderr, "cannot open %s\n", file.c_str());
    return 1;
  }

  std::vector<std::string> texts;
  texts.reserve(orders);
  for (int i = 0; i < orders; ++i) texts.push_back(SyntheticOrder(100000 + i));

  int written = 0;
  const double cpu0 = CpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  for (const std::string& text : texts) {
    rapidjson::Document order;
    order.Parse<rapidjson::kParseNumbersAsStringsFlag>(text.c_str());
    std::string invoiceNo, msg;
    bool modified = false;
    if (db.ProcessOrder(order, invoiceNo, msg, modified)) ++written;
    else std::fprintf(stderr, "order failed: %s\n", msg.c_str());
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double cpu = CpuSeconds() - cpu0;

  std::printf("orders imported: %d of %d (5 lines each)\n", written, orders);
  std::printf("orders per second: %.0f\n", written / wall);
  std::printf("CPU time per order: %.3f ms\n", cpu * 1000 / orders);
  bench::PrintFigure("order import, parse to committed invoice (5 lines)", written / wall, 0, "orders/s");
  bench::PrintFigure("order import, CPU time per order", cpu * 1000 / orders, 3, "ms");
  std::filesystem::remove_all(dir);
  return written == orders ? 0 : 1;
}

