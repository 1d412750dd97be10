#include "scale/HistoryWorld.h"

#include <httplib.h>

#include "config/UtilUnit.h"
#include "tsql/EmbeddedSession.h"
#include "support/PosDatabase.h"
#include "sync/PrintParams.h"

namespace ooa::test {

namespace {

// Rows of one multi-row insert, cut into statements of at most 200 rows.
class TInserts {
 public:
  explicit TInserts(std::string head) : Head(std::move(head)) {}
  void Row(const std::string& values) {
    if (Rows % 200 == 0) Sql += (Rows ? ";\n" : "") + Head + " Values ";
    else Sql += ", ";
    Sql += "(" + values + ")";
    ++Rows;
  }
  std::string Text() const { return Rows ? Sql + ";\n" : ""; }

 private:
  std::string Head, Sql;
  int Rows = 0;
};

std::string Number(const char* prefix, int n, int digits) {
  std::string d = std::to_string(n);
  return prefix + std::string(digits - d.size(), '0') + d;
}

// Invoices W26000001 ... of this year's trading, a credit note on every
// twentieth, 100 customers and 300 products besides the demo shop's.
std::string HistoryBatch(int invoices) {
  const char* demo[] = {"SHZ750", "SAVB750", "GIN700", "LAGER330", "CHIPSS165", "ROSE750"};
  TInserts customers("Insert Into Customer (CustomerCode, CustomerName, Mobile)");
  for (int c = 1; c <= 100; ++c)
    customers.Row(SqlTextLiteral(Number("H", c, 4)) + ", N'Customer " + std::to_string(c) + "', N'0400'");
  TInserts products("Insert Into Product (ProductCode, Category, Description, OnlineOrderItem, ModifyDate, SalesPrice1)");
  TInserts extends("Insert Into ProductExtend (ProductCode)");
  for (int p = 1; p <= 300; ++p) {
    const std::string code = SqlTextLiteral(Number("HP", p, 5));
    products.Row(code + ", N'SNACKS', N'Old product', 0, '12/01/2026', 1.5");
    extends.Row(code);
  }
  TInserts heads("Insert Into InvoiceHead (InvoiceNo, ReferenceNo, KindFlag, InvoiceDate, CustomerCode, Amount, "
                 "PaidAmount, OnlineOrder, OnlineOrderId, Notes)");
  TInserts items("Insert Into InvoiceItem (InvoiceNo, ID, ProductCode, Qty, Price, KindFlag, CreditedQty)");
  TInserts payments("Insert Into RecvAcct (InvoiceNo, IDNo, AccountDate, PaidAmount, PayBy, Notes, Repayment)");
  int credits = 0;
  for (int i = 1; i <= invoices; ++i) {
    const std::string no = SqlTextLiteral(Number("W26", i, 6));
    const std::string customer = SqlTextLiteral(Number("H", 1 + i % 100, 4));
    const bool online = i % 2 == 0;
    heads.Row(no + ", Null, 6, '11/02/2026', " + customer + ", 30, 30, " + (online ? "1" : "0") + ", " +
              (online ? SqlTextLiteral(std::to_string(1000 + i)) : "Null") + ", Null");
    for (int line = 1; line <= 3; ++line)
      items.Row(no + ", " + std::to_string(line) + ", N'" + demo[(i + line) % 6] + "', 1, 10, 6, 0");
    payments.Row(no + ", 1, '11/02/2026', 30.02, N'stripe', N'Online Payment', 0");
    payments.Row(no + ", 2, '11/02/2026', -0.02, N'ROUNDING', Null, 0");
    if (i % 20 != 0) continue;
    const std::string cn = SqlTextLiteral(Number("CN26", ++credits, 5));
    heads.Row(cn + ", " + no + ", 5, '11/03/2026', " + customer + ", -10, -10, 1, Null, Null");
    items.Row(cn + ", 1, N'" + std::string(demo[(i + 1) % 6]) + "', -1, 10, 5, 0");
    payments.Row(no + ", 3, '11/03/2026', -10, N'stripe', " + cn + ", 1");
  }
  return customers.Text() + products.Text() + extends.Text() + heads.Text() + items.Text() + payments.Text();
}

}  // namespace

THistoryWorld::THistoryWorld() : File(Dir.File("POS.DB")) {
  CreatePosDatabase(File, {"--demo", "--warehouse", "1"});
  // The demo rows changed before the clock's now, so that a pass's sync
  // times lie after them.
  Exec("Update Category Set LastUpdatedAt='12/01/2026'; Update Product Set ModifyDate='12/01/2026'; "
       "Update ProductExtend Set LastStockUpdatedAt='12/01/2026';" +
       HistoryBatch(kHistoryInvoices));
  Config.ServerName = "(EMBEDDED)";
  Config.DatabaseName = File;
  Config.WarehouseCode = "1";
  Config.Url = Shop.BaseUrl();
  Config.Key = "ck_standin";
  Config.Secret = "cs_standin";
  Config.PrinterName = "file:" + Dir.File("receipts.bin");
  SetConfig(Config);
  Woo.Init(Config);
  ActivityLog().SetSink(&Log);
  if (!Db.ConnectToServer(Config)) ADD_FAILURE() << "cannot open " << File;
  ReadPrintParams(Db);
}

THistoryWorld::~THistoryWorld() {
  ActivityLog().SetSink(nullptr);
  SetConfig(TConfig{});
}

void THistoryWorld::Exec(const std::string& sql) {
  auto session = CreateEmbeddedSession(File);
  session->Open();
  session->Execute(sql);
}

int64_t THistoryWorld::Count(const std::string& sql) {
  auto session = CreateEmbeddedSession(File);
  session->Open();
  TQueryResult r = session->Query(sql);
  return r.First().Rows.empty() ? -1 : r.First().Rows[0][0].AsInteger();
}

void THistoryWorld::AdminPost(const std::string& path, const std::string& body) {
  httplib::Client client(Shop.Origin());
  auto answer = client.Post(path, body, "application/json");
  ASSERT_TRUE(answer) << path;
  ASSERT_LT(answer->status, 300) << path << ": " << answer->body;
}

void THistoryWorld::UsePrinter(const std::string& printer) {
  Config.PrinterName = printer;
  SetConfig(Config);
}

}  // namespace ooa::test
