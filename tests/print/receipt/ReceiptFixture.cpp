#include "print/receipt/ReceiptFixture.h"

#include <sstream>

#include "db/PosSchema.h"
#include "tsql/EmbeddedSession.h"
#include "print/PrinterOutput.h"
#include "print/receipt/ReceiptLocale.h"
#include "sync/ReceiptPrint.h"

namespace ooa::test {

namespace {

const char* const kShop =
    "Update Profile Set CompanyName=N'Harbour Fresh Grocer', ABN=N'12 345 678 901', Telephone=N'02 9555 0101', "
    "Address=N'Shop 4, 18 Quay St' + Char(13) + Char(10) + N'Sydney NSW 2000', POSInit=N'W';"
    "Insert Into Customer(CustomerCode, CustomerName, IsMember) Values(N'C42', N'Mia Chen', 1);"
    "Insert Into Product(ProductCode, Description, Description1, GSTRate, BarCode, Location) Values"
    "(N'BEER', N'Lager 6 Pack', N'Bier', 10, N'9300001', N'A1'),"
    "(N'BREAD', N'Sourdough Loaf', Null, 0, N'9300002', N'B2'),"
    "(N'WINE', N'Shiraz', Null, 10, Null, N'C3');"
    "Insert Into InvoiceHead(InvoiceNo, KindFlag, InvoiceDate, TransferDateTime, CustomerCode, GSTStatus, Notes, "
    "OpName, MachineID, Freight, FreightGSTRate, DollarDiscount, RedeemPointsAsDollar, RedeemPointsGSTRate, "
    "OnlineOrder, OnlineOrderId, Delivery, DeliveryAddress) Values(N'W2600001', 6, '2026-12-01 10:15:00', "
    "'2026-12-01 10:15:07', N'C42', 1, N'Leave at door', N'WEB', N'ONLINE', 10, 10, 5, 2, 10, 1, N'1057', 1, "
    "N'7 Ocean Rd, Bondi NSW 2026');"
    "Insert Into InvoiceItem(InvoiceNo, ID, ProductCode, Qty, Price, OriginalPrice, Discount, GSTRate, KindFlag) "
    "Values(N'W2600001', 1, N'BEER', 2, 18, 18, 0, 10, 6),"
    "(N'W2600001', 2, N'BREAD', 1, 6.5, 6.5, 0, 0, 6),"
    "(N'W2600001', 3, N'WINE', 1, 20, 20, 10, 10, 6);"
    "Insert Into RecvAcct(InvoiceNo, IDNo, PaidAmount, PayBy) Values"
    "(N'W2600001', 1, 54.5, N'Online'), (N'W2600001', 2, 10, N'Deposit');";

}  // namespace

void TReceiptTest::SetUp() {
  SavedConfig = ConfigSnapshot();
  SavedConfigPath = ConfigPath();
  const std::string file = Dir.File("POS.DB");
  {
    auto session = CreateEmbeddedSession(file, true);
    session->Open();
    session->Execute(PosSchemaBatch({"1"}));
    session->Execute(kShop);
    session->Close();
  }
  TConfig c;
  Server.PointAt(c, file);
  c.PrinterName = Standin.Address();
  SetConfig(c);
  SetConfigPath(Dir.File("OnlineService.ini"));  // the footer file goes beside it
  ASSERT_TRUE(Db.ConnectToServer(c));
  TPrinterTimings t;
  t.DocumentWaitTries = 3;
  t.DocumentWaitMs = 10;
  SetPrinterTimings(t);
  SetReceiptLocale(TReceiptLocale{});  // "$" before, "-" for negatives
  // The POS's defaults: main descriptions, date and number, dashed separators.
  Settings.PrintDescription1 = true;
  Settings.POSInvoiceDate = true;
  Settings.POSInvoiceNumber = true;
  Settings.PrintSplitLinesOnReceipts = true;
}

void TReceiptTest::TearDown() {
  SetReceiptSettings({});
  SetReceiptLocale(TReceiptLocale{});
  SetPrinterTimings(TPrinterTimings{});
  SetConfig(SavedConfig);
  SetConfigPath(SavedConfigPath);
}

void TReceiptTest::Exec(const std::string& sql) {
  std::string error;
  if (!Db.ExecQueryPro(sql, error)) ADD_FAILURE() << error << "\n" << sql;
}

std::string TReceiptTest::Print(const std::string& invoiceNo, bool modified, int waitMs) {
  SetReceiptSettings(Settings);
  const size_t before = Standin.Jobs().size();
  PrintBillPro(Db, invoiceNo, false, modified);
  const auto jobs = Standin.WaitForJobs(before + 1, waitMs);
  return jobs.size() > before ? jobs[before] : std::string();
}

std::string TReceiptTest::Rendered(const std::string& job) {
  std::istringstream in(escpos::RenderText(escpos::Decode(job)));
  std::string out, line;
  while (std::getline(in, line)) {
    line.erase(line.find_last_not_of(' ') + 1);
    out += line + "\n";
  }
  return out;
}

}  // namespace ooa::test
