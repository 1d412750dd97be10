// Every statement the service sends finds its rows through a key on a POS
// database with history, as SQL Server's optimiser does with the POS
// tables' keys: the statements are gathered by running the service's own
// passes (catalogue uploads and their write-backs, orders, a cancellation, a
// refund, receipts) and SQLite's plan of each is read. A per-order or
// per-object statement that reads a history table in full makes the order
// pass slower with every year of trading.
//
// The catalogue pass's own queries look at every product once per pass to
// find what changed; they are taken from the module's query routines and
// left out.
#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "scale/HistoryWorld.h"
#include "scale/QueryPlans.h"
#include "sync/Passes.h"
#include "sync/OrderReceipt.h"
#include "sync/catalog/CatalogueBatches.h"
#include "sync/ReceiptPrint.h"
#include "sync/OrderSync.h"

namespace ooa::test {
namespace {

// Tables that grow with the years, or with the catalogue (a ProductExtend
// row per product).
const std::set<std::string> kHistoryTables = {"InvoiceHead", "InvoiceItem", "RecvAcct",
                                              "Customer",    "Product",     "ProductExtend"};

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class QueryPlans : public THistoryWorld {};

TEST_F(QueryPlans, PerOrderAndPerObjectStatementsUseKeys) {
  Recorder.SetStep("per-pass queries");
  GetCategories(Db, true);
  GetCategories(Db, false);
  GetTranslationsOfCategories(Db);
  GetProducts(Db);
  GetProductStockData(Db);

  Recorder.SetStep("catalogue");
  RunCatalogPass(Woo);
  // At the till: a product and a variable one withdrawn from the shop, one
  // renamed, a category renamed, stock sold.
  Exec("Update Product Set OnlineOrderItem=0, ModifyDate='12/08/2026 14:00:00' Where ProductCode In (N'GIN700', "
       "N'SPARKW500'); Update Product Set Description=N'Shiraz 2024', ModifyDate='12/08/2026 14:00:00' Where "
       "ProductCode=N'SHZ750'; Update Category Set Description=N'Wines', LastUpdatedAt='12/08/2026 14:00:00' Where "
       "Category=N'WINE'; Update ProductExtend Set LastStockUpdatedAt='12/08/2026 14:00:00';");
  FixedClock.Advance(3600);
  RunCatalogPass(Woo);

  Recorder.SetStep("orders");
  const std::string demo = std::string(OOA_SOURCE_DIR) + "/scripts/demo/";
  AdminPost("/standin/orders", FileText(demo + "orders.json"));
  SyncOrders(Woo);
  AdminPost("/standin/orders/5005/status", R"({"status": "cancelled"})");
  AdminPost("/standin/orders/5006/refunds", FileText(demo + "refund-1.json"));
  SyncOrders(Woo);

  // The passes did their work, so their statements are all here.
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where OnlineOrderId In (N'5001', N'5002', N'5003', N'5004', "
                  "N'5005', N'5006') And KindFlag=6"),
            6);
  EXPECT_EQ(Count("Select Count(*) From InvoiceHead Where KindFlag=5"), kHistoryInvoices / 20 + 2);
  EXPECT_EQ(Count("Select Count(*) From ProductExtend Where WooID Is Not Null And WooID <> ''"), 7);
  EXPECT_FALSE(FileText(Dir.File("receipts.bin")).empty());

  std::set<std::string> perPass;
  std::vector<std::string> checked;
  for (const TRecordedBatch& b : Recorder.Batches()) {
    if (b.Step == "per-pass queries") perPass.insert(b.Batch);
    else if (!perPass.count(b.Batch) && std::find(checked.begin(), checked.end(), b.Batch) == checked.end())
      checked.push_back(b.Batch);
  }
  ASSERT_EQ(perPass.size(), 5u);
  std::string found;
  std::set<std::string> seen;
  for (const TTableScan& s : FullScans(File, checked, kHistoryTables))
    if (seen.insert(s.Sql).second)
      found += s.Table + ": " + s.Detail + "\n  " + s.Sql + "\n  from: " + s.Batch.substr(0, 300) + "\n";
  EXPECT_EQ(found, "") << checked.size() << " batches checked";
}

// With no receipt printer the receipt sends nothing to the database; with
// one it reads the invoice.
TEST_F(QueryPlans, NoReceiptQueryWithoutPrinter) {
  UsePrinter("N/A");
  const size_t before = Recorder.Count();
  PrintBillPro(Db, "W26000002", false, false);
  EXPECT_EQ(Recorder.Count(), before);
  UsePrinter("file:" + Dir.File("receipt.bin"));
  PrintBillPro(Db, "W26000002", false, false);
  EXPECT_GT(Recorder.Count(), before);
}

}  // namespace
}  // namespace ooa::test
