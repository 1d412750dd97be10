// How fast the embedded engine writes an invoice compared with the floor of
// hand-prepared SQLite statements doing the same work.
//
// Each invoice: customer upsert, head with yearly numbering, five lines with
// stock updates, two payment rows and the paid total, in one transaction. The
// engine gets the T-SQL batch the order import sends; the floor runs the same
// reads and writes as prepared statements bound with the values. Both files
// use WAL with synchronous=NORMAL. Prints both rates and their ratio.
//
// Usage: bench_engine_invoice [invoices]   (default 2000)
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchFigure.h"
#include "db/DbSession.h"
#include "db/embedded/EmbeddedSession.h"

namespace {

using namespace ooa;

const char* kSchemaTsql = R"(
Create Table Version ([version] float Not Null);
Create Table Profile (GenerateInvoiceNoKind int, POSInit nvarchar(10));
Create Table Customer (CustomerCode nvarchar(15) Not Null Primary Key, CustomerName nvarchar(60), Telephone nvarchar(30),
  EMail nvarchar(60), Address nvarchar(120), Suburb nvarchar(40), PostCode nvarchar(10), Live bit, IsMember bit);
Create Table Product (ProductCode nvarchar(30) Not Null Primary Key, StockQty1 float, StockValue1 float);
Create Table InvoiceHead (InvoiceNo nvarchar(15) Not Null Primary Key, ReferenceNo nvarchar(15), InvoiceDate datetime,
  CustomerCode nvarchar(15), GSTStatus bit, Notes nvarchar(max), SalesName nvarchar(20), Amount float, GST float, Freight float,
  PaidAmount float, KindFlag int, WarehouseCode nvarchar(5), TransferDateTime datetime, OnlineOrder bit, OnlineOrderId nvarchar(30),
  OnlineOrderStatus nvarchar(20));
Create Index IX_Head_Order On InvoiceHead (OnlineOrderId);
Create Table InvoiceItem (InvoiceNo nvarchar(15) Not Null, ID int Not Null, ProductCode nvarchar(30), Qty float, Price float,
  NetPrice float, GSTRate float, UnitCost float, KindFlag int, PriceKind int, DeductStockQty float, WarehouseCode nvarchar(5),
  Primary Key (InvoiceNo, ID));
Create Table RecvAcct (InvoiceNo nvarchar(15) Not Null, IDNo int Not Null, AccountDate datetime, PaidAmount float, PayBy nvarchar(30),
  Notes nvarchar(60), OpName nvarchar(20), RecordDateTime datetime, Deposit bit, Repayment bit, DepositBalance float,
  Primary Key (InvoiceNo, IDNo));
Insert Version Values (1);
Insert Profile Values (0, N'W');
)";

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

std::string Customer(int n) { return "OnlineUser-" + std::to_string(n % 200); }
std::string ProductOf(int n, int line) { return "P" + std::to_string((n * 7 + line * 13) % 50); }

std::string InvoiceBatch(int n) {
  std::string c = Customer(n), id = std::to_string(100000 + n);
  std::string b = "Declare @v Float; Begin Tran Select @v= [version] From Version (TabLockX); ";
  b += "Declare @CustomerCode nvarchar(15); Select @CustomerCode=CustomerCode From Customer Where CustomerCode=N'" + c +
       "'; if @CustomerCode Is Null Begin Insert Into Customer(CustomerCode, CustomerName, Telephone, EMail, Address, Suburb, "
       "PostCode, Live, IsMember) Values(N'" + c + "',N'Ann O''Neil',N'0400 000 000',N'ann@example.com',N'1 O''Neil St',N'Town',"
       "N'2000', 1, 1); End ELSE Begin Update Customer Set CustomerName=N'Ann O''Neil', Telephone=N'0400 000 000', "
       "EMail=N'ann@example.com', Address=N'1 O''Neil St', Suburb=N'Town', PostCode=N'2000' Where CustomerCode=@CustomerCode; "
       "End; if @@Error <> 0 Begin GoTo BRK End; ";
  b += "Declare @InvoiceNo nvarchar(15), @Modified Bit, @InvoiceInit nvarchar(3), @GenerateInvoiceNoKind Integer;Select "
       "@InvoiceNo=InvoiceNo From InvoiceHead Where OnlineOrderId=N'" + id + "';if @InvoiceNo Is Null Begin Select @Modified=0;"
       "Declare @i int; Declare @Y nvarchar(6); Select @GenerateInvoiceNoKind = GenerateInvoiceNoKind, @InvoiceInit = POSInit "
       "From Profile; if @GenerateInvoiceNoKind = 0 Begin Set @Y='26'; Select @i = Cast(SubString(Max(InvoiceNo), "
       "Len(@InvoiceInit) + 3, 6) As Int) + 1 From InvoiceHead Where InvoiceNO Like @InvoiceInit + @Y + '%'; Set "
       "@InvoiceNo=Cast(IsNull(@i, 1) as varchar(6)); Set @InvoiceNo=Replicate('0', 6 - Len(@InvoiceNo)) + @InvoiceNo; Set "
       "@InvoiceNo=@InvoiceInit + @Y + @InvoiceNo; Select @InvoiceNo End Else Begin Set @Y='261208'; Select "
       "@i=Cast(SubString(Max(InvoiceNo), Len(@InvoiceInit) + 7, 4) As Int) + 1 From InvoiceHead Where InvoiceNo Like "
       "@InvoiceInit + @Y + '%'; Set @InvoiceNo=Cast(IsNull(@i, 1) as varchar(4)); Set @InvoiceNo=Replicate('0', 4 - "
       "Len(@InvoiceNo)) + @InvoiceNo; Set @InvoiceNo=@InvoiceInit + @Y + @InvoiceNo; Select @InvoiceNo End; End Else begin "
       "Select @Modified=1;Delete From InvoiceHead Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; Delete From "
       "InvoiceItem Where InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; Delete From RecvAcct Where "
       "InvoiceNo=@InvoiceNo; if @@Error <> 0 Begin GoTo BRK End; end;";
  b += "Insert Into InvoiceHead(ReferenceNo, InvoiceNo, InvoiceDate, CustomerCode, GSTStatus, Notes, SalesName, Amount, GST, "
       "Freight, PaidAmount, KindFlag, WarehouseCode, TransferDateTime, OnlineOrder, OnlineOrderId, OnlineOrderStatus) "
       "Values(Null, @InvoiceNo, '12/08/2026', N'" + c + "', 1, N'Leave at door', N'Online', 45.45, 4.55, 10, 0, 6, N'1', "
       "'12/08/2026 10:15:00', 1, N'" + id + "', N'processing'); if @@Error <> 0 Begin GoTo BRK End; ";
  for (int l = 0; l < 5; ++l) {
    std::string p = ProductOf(n, l), q = Num(1 + l % 3);
    b += "Insert Into InvoiceItem(InvoiceNo, ProductCode, Qty, Price, NetPrice, GSTRate, UnitCost, KindFlag, PriceKind, "
         "DeductStockQty, WarehouseCode, ID) Values(@InvoiceNo, N'" + p + "'," + q + ",5.5,5.5,10,2.25,6,0,1,N'1'," +
         std::to_string(l + 1) + "); IF @@Error <> 0 begin goto BRK end; ";
    b += "Update Product Set StockQty1=StockQty1-(" + q + " * 1),StockValue1=StockValue1-(" + q + " * 1 * 2.25) Where "
         "ProductCode=N'" + p + "';IF @@Error <> 0 begin goto BRK end; ";
  }
  b += "Declare @Id Integer; ";
  for (int k = 0; k < 2; ++k) {
    b += "Select @Id=Max(IDNo) From RecvAcct Where InvoiceNo=@InvoiceNo;If @Id Is Null Select @Id=1 else Select @Id = @Id + 1; "
         "Insert Into RecvAcct(InvoiceNo, AccountDate, PaidAmount, PayBy, Notes, OpName, RecordDateTime, Deposit, Repayment, "
         "DepositBalance, IDNo) Values(@InvoiceNo,'12/08/2026 10:15:00'," + std::string(k ? "20" : "30") + "," +
         (k ? "N'Deposit'" : "N'stripe'") + ",N'Online Payment', N'Online','12/08/2026 10:16:00', " + (k ? "1" : "0") +
         ", 0, 0, @Id); if @@Error <> 0 Begin GoTo BRK End; ";
  }
  b += "Declare @TotalPaid Float; Select @TotalPaid=Sum(PaidAmount) From RecvAcct Where InvoiceNo=@InvoiceNo; Update InvoiceHead "
       "Set PaidAmount=@TotalPaid Where InvoiceNo=@InvoiceNo;if @@Error <> 0 Begin GoTo BRK End; ";
  b += "Commit Tran; Select @InvoiceNo As InvoiceNo, @Modified As Modified; GoTo ended; BRK: rollback tran; ended:";
  return b;
}

void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
  }
}

struct TFloor {
  sqlite3* Db = nullptr;
  std::vector<sqlite3_stmt*> All;
  sqlite3_stmt *Begin, *Commit, *Version, *FindCustomer, *InsertCustomer, *UpdateCustomer, *FindOrder, *ReadProfile, *MaxNo,
      *InsertHead, *InsertLine, *UpdateStock, *MaxId, *InsertPay, *SumPaid, *UpdatePaid;

  sqlite3_stmt* Prep(const char* sql) {
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v3(Db, sql, -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr), Db, sql);
    All.push_back(st);
    return st;
  }

  explicit TFloor(const std::string& path) {
    Check(sqlite3_open(path.c_str(), &Db), Db, "open");
    Check(sqlite3_exec(Db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                           "CREATE TABLE Version(version REAL); INSERT INTO Version VALUES(1);"
                           "CREATE TABLE Profile(GenerateInvoiceNoKind INTEGER, POSInit TEXT); INSERT INTO Profile VALUES(0,'W');"
                           "CREATE TABLE Customer(CustomerCode TEXT PRIMARY KEY NOT NULL, CustomerName TEXT, Telephone TEXT,"
                           " EMail TEXT, Address TEXT, Suburb TEXT, PostCode TEXT, Live INTEGER, IsMember INTEGER);"
                           "CREATE TABLE Product(ProductCode TEXT PRIMARY KEY NOT NULL, StockQty1 REAL, StockValue1 REAL);"
                           "CREATE TABLE InvoiceHead(InvoiceNo TEXT PRIMARY KEY NOT NULL, ReferenceNo TEXT, InvoiceDate TEXT,"
                           " CustomerCode TEXT, GSTStatus INTEGER, Notes TEXT, SalesName TEXT, Amount REAL, GST REAL, Freight REAL,"
                           " PaidAmount REAL, KindFlag INTEGER, WarehouseCode TEXT, TransferDateTime TEXT, OnlineOrder INTEGER,"
                           " OnlineOrderId TEXT, OnlineOrderStatus TEXT);"
                           "CREATE INDEX IX_Head_Order ON InvoiceHead(OnlineOrderId);"
                           "CREATE TABLE InvoiceItem(InvoiceNo TEXT NOT NULL, ID INTEGER NOT NULL, ProductCode TEXT, Qty REAL,"
                           " Price REAL, NetPrice REAL, GSTRate REAL, UnitCost REAL, KindFlag INTEGER, PriceKind INTEGER,"
                           " DeductStockQty REAL, WarehouseCode TEXT, PRIMARY KEY(InvoiceNo, ID));"
                           "CREATE TABLE RecvAcct(InvoiceNo TEXT NOT NULL, IDNo INTEGER NOT NULL, AccountDate TEXT, PaidAmount REAL,"
                           " PayBy TEXT, Notes TEXT, OpName TEXT, RecordDateTime TEXT, Deposit INTEGER, Repayment INTEGER,"
                           " DepositBalance REAL, PRIMARY KEY(InvoiceNo, IDNo));",
                       nullptr, nullptr, nullptr),
          Db, "schema");
    Begin = Prep("BEGIN IMMEDIATE");
    Commit = Prep("COMMIT");
    Version = Prep("SELECT version FROM Version");
    FindCustomer = Prep("SELECT CustomerCode FROM Customer WHERE CustomerCode=?1");
    InsertCustomer = Prep("INSERT INTO Customer VALUES(?1,?2,?3,?4,?5,?6,?7,1,1)");
    UpdateCustomer = Prep("UPDATE Customer SET CustomerName=?2, Telephone=?3, EMail=?4, Address=?5, Suburb=?6, PostCode=?7 "
                          "WHERE CustomerCode=?1");
    FindOrder = Prep("SELECT InvoiceNo FROM InvoiceHead WHERE OnlineOrderId=?1");
    ReadProfile = Prep("SELECT GenerateInvoiceNoKind, POSInit FROM Profile");
    MaxNo = Prep("SELECT max(InvoiceNo) FROM InvoiceHead WHERE InvoiceNo >= ?1 AND InvoiceNo < ?1 || 'z'");
    InsertHead = Prep("INSERT INTO InvoiceHead VALUES(?1,NULL,'2026-12-08 00:00:00.000',?2,1,'Leave at door','Online',45.45,4.55,"
                      "10,0,6,'1','2026-12-08 10:15:00.000',1,?3,'processing')");
    InsertLine = Prep("INSERT INTO InvoiceItem VALUES(?1,?2,?3,?4,5.5,5.5,10,2.25,6,0,1,'1')");
    UpdateStock = Prep("UPDATE Product SET StockQty1=StockQty1-?2, StockValue1=StockValue1-?2*2.25 WHERE ProductCode=?1");
    MaxId = Prep("SELECT max(IDNo) FROM RecvAcct WHERE InvoiceNo=?1");
    InsertPay = Prep("INSERT INTO RecvAcct VALUES(?1,?2,'2026-12-08 10:15:00.000',?3,?4,'Online Payment','Online',"
                     "'2026-12-08 10:16:00.000',?5,0,0)");
    SumPaid = Prep("SELECT sum(PaidAmount) FROM RecvAcct WHERE InvoiceNo=?1");
    UpdatePaid = Prep("UPDATE InvoiceHead SET PaidAmount=?2 WHERE InvoiceNo=?1");
  }
  ~TFloor() {
    for (auto* st : All) sqlite3_finalize(st);
    sqlite3_close(Db);
  }

  void Run(sqlite3_stmt* st) {
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    Check(rc, Db, sqlite3_sql(st));
    sqlite3_reset(st);
  }
  static void Text(sqlite3_stmt* st, int i, const std::string& s) {
    sqlite3_bind_text(st, i, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
  }

  void Invoice(int n) {
    std::string c = Customer(n), id = std::to_string(100000 + n);
    Run(Begin);
    Run(Version);
    Text(FindCustomer, 1, c);
    bool exists = sqlite3_step(FindCustomer) == SQLITE_ROW;
    sqlite3_reset(FindCustomer);
    sqlite3_stmt* up = exists ? UpdateCustomer : InsertCustomer;
    Text(up, 1, c);
    Text(up, 2, "Ann O'Neil");
    Text(up, 3, "0400 000 000");
    Text(up, 4, "ann@example.com");
    Text(up, 5, "1 O'Neil St");
    Text(up, 6, "Town");
    Text(up, 7, "2000");
    Run(up);
    Text(FindOrder, 1, id);
    Run(FindOrder);
    Run(ReadProfile);
    Text(MaxNo, 1, "W26");
    int seq = 1;
    if (sqlite3_step(MaxNo) == SQLITE_ROW && sqlite3_column_type(MaxNo, 0) != SQLITE_NULL)
      seq = std::atoi(reinterpret_cast<const char*>(sqlite3_column_text(MaxNo, 0)) + 3) + 1;
    sqlite3_reset(MaxNo);
    char no[16];
    std::snprintf(no, sizeof no, "W26%06d", seq);
    Text(InsertHead, 1, no);
    Text(InsertHead, 2, c);
    Text(InsertHead, 3, id);
    Run(InsertHead);
    for (int l = 0; l < 5; ++l) {
      double q = 1 + l % 3;
      Text(InsertLine, 1, no);
      sqlite3_bind_int(InsertLine, 2, l + 1);
      Text(InsertLine, 3, ProductOf(n, l));
      sqlite3_bind_double(InsertLine, 4, q);
      Run(InsertLine);
      Text(UpdateStock, 1, ProductOf(n, l));
      sqlite3_bind_double(UpdateStock, 2, q);
      Run(UpdateStock);
    }
    for (int k = 0; k < 2; ++k) {
      Text(MaxId, 1, no);
      int idNo = 1;
      if (sqlite3_step(MaxId) == SQLITE_ROW && sqlite3_column_type(MaxId, 0) != SQLITE_NULL)
        idNo = sqlite3_column_int(MaxId, 0) + 1;
      sqlite3_reset(MaxId);
      Text(InsertPay, 1, no);
      sqlite3_bind_int(InsertPay, 2, idNo);
      sqlite3_bind_double(InsertPay, 3, k ? 20 : 30);
      Text(InsertPay, 4, k ? "Deposit" : "stripe");
      sqlite3_bind_int(InsertPay, 5, k);
      Run(InsertPay);
    }
    Text(SumPaid, 1, no);
    double total = 0;
    if (sqlite3_step(SumPaid) == SQLITE_ROW) total = sqlite3_column_double(SumPaid, 0);
    sqlite3_reset(SumPaid);
    Text(UpdatePaid, 1, no);
    sqlite3_bind_double(UpdatePaid, 2, total);
    Run(UpdatePaid);
    Run(Commit);
  }
};

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  int count = argc > 1 ? std::atoi(argv[1]) : 2000;
  if (count <= 0) count = 2000;
  auto dir = std::filesystem::temp_directory_path() / ("bench-engine-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);

  std::string products;
  for (int p = 0; p < 50; ++p)
    products += "Insert Product Values (N'P" + std::to_string(p) + "', 1000000, 2250000);";

  auto session = CreateEmbeddedSession((dir / "engine.db").string(), true);
  session->Open();
  session->Execute(kSchemaTsql);
  session->Execute(products);
  std::vector<std::string> batches;
  batches.reserve(static_cast<size_t>(count));
  for (int n = 0; n < count; ++n) batches.push_back(InvoiceBatch(n));
  auto t0 = std::chrono::steady_clock::now();
  std::string last;
  for (int n = 0; n < count; ++n) last = session->Query(batches[static_cast<size_t>(n)]).First().Rows[0][0].AsString();
  double engineSecs = Seconds(std::chrono::steady_clock::now() - t0);
  if (last != "W26" + std::string(6 - std::to_string(count).size(), '0') + std::to_string(count)) {
    std::fprintf(stderr, "unexpected last invoice number %s\n", last.c_str());
    return 1;
  }

  double floorSecs;
  {
    TFloor floor((dir / "floor.db").string());
    for (int p = 0; p < 50; ++p)
      Check(sqlite3_exec(floor.Db, ("INSERT INTO Product VALUES('P" + std::to_string(p) + "', 1000000, 2250000)").c_str(),
                         nullptr, nullptr, nullptr),
            floor.Db, "product");
    auto t1 = std::chrono::steady_clock::now();
    for (int n = 0; n < count; ++n) floor.Invoice(n);
    floorSecs = Seconds(std::chrono::steady_clock::now() - t1);
  }
  session.reset();
  std::filesystem::remove_all(dir);

  double engineRate = count / engineSecs, floorRate = count / floorSecs;
  std::printf("invoices:                       %d (5 lines, 2 payments each)\n", count);
  std::printf("engine (T-SQL batches):         %.0f invoices/s\n", engineRate);
  std::printf("prepared SQLite statements:     %.0f invoices/s\n", floorRate);
  std::printf("ratio (floor / engine):         %.2f  (target: at most 3)\n", floorRate / engineRate);
  bench::PrintFigure("invoice writes, embedded engine (T-SQL batches)", engineRate, 0, "invoices/s",
                     "at most 3x the floor's time", floorRate / engineRate);
  bench::PrintFigure("invoice writes, floor (prepared SQLite statements)", floorRate, 0, "invoices/s");
  return 0;
}
