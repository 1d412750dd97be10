// How fast the embedded engine writes invoices compared with the floor of
// hand-prepared SQLite statements doing the same work.
//
// The invoices are those of varied shop orders (VariedOrders.h): each order
// is parsed and calculated by the database module as the order import does,
// and its invoice batch (GenerateInvoiceBatch) is kept. The engine runs the
// batches as they are. The floor writes the same rows with the same reads
// through prepared statements bound with the document's values: Version
// lock, customer look-up and insert or update, order look-up, profile,
// highest number of the year, head, per line the line and its stock
// deduction, per payment row the highest IDNo and the row, the paid total,
// commit. Both files carry the full POS schema with its indexes (posdb's) and
// the orders' catalogue, in WAL with synchronous=NORMAL and the engine's
// checkpoint length. First a warm-up: the invoices of other orders (a tenth
// as many, at least 200) go through both untimed, so that the engine has
// compiled the shapes it meets and SQLite has prepared its statements; its
// time is shown apart, as the cost a pass pays for its first invoices. Then
// the two take turns in rounds of a fifth of the invoices each (which goes
// first alternates), so that other work on the machine and the disk's
// flushes weigh on both alike. Prints both rates, their ratio, and the CPU
// time each took.
//
// Usage: bench_engine_invoice [invoices]   (default 2000)
#include <sqlite3.h>
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
#include "config/Clock.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "db/order/InvoiceWrite.h"
#include "shop/woo/OrderParsing.h"
#include "tsql/EmbeddedSession.h"
#include "db/order/OrderStatements.h"
#include "db/order/StatementValues.h"

namespace {

using namespace ooa;

// One order's invoice: the engine's batch and the document the floor binds.
struct TInvoice {
  std::string Batch;
  TCustomer Customer;
  TInvoiceHead Head;
  std::vector<TInvoiceItem> Items;
  TPayment Payment, Deposit;
};

void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
  }
}

// A date-time as the engine stores it.
std::string Stored(TDateTime t, bool dateOnly = false) {
  const TCivilTime c = t.ToCivil();
  return dateOnly ? tsql::CanonicalDateTime(c.Year, c.Month, c.Day, 0, 0, 0, 0)
                  : tsql::CanonicalDateTime(c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second, 0);
}

struct TFloor {
  sqlite3* Db = nullptr;
  std::vector<sqlite3_stmt*> All;
  sqlite3_stmt *Begin, *Commit, *Version, *FindCustomer, *InsertCustomer, *UpdateCustomer, *FindOrder, *ReadProfile,
      *MaxNo, *InsertHead, *InsertLine, *UpdateStock, *MaxId, *InsertPay, *SumPaid, *UpdatePaid;
  std::string Now;

  sqlite3_stmt* Prep(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v3(Db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr), Db, sql.c_str());
    All.push_back(st);
    return st;
  }
  static std::string Places(int from, int to) {
    std::string s;
    for (int i = from; i <= to; ++i) s += (i > from ? ",?" : "?") + std::to_string(i);
    return s;
  }

  explicit TFloor(const std::string& path) : Now(Stored(Clock().NowLocal())) {
    Check(sqlite3_open(path.c_str(), &Db), Db, "open");
    tsql::RegisterFunctions(Db);  // the collation of the text columns and keys
    Check(sqlite3_exec(Db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr), Db,
          "pragmas");
    sqlite3_wal_autocheckpoint(Db, kEmbeddedWalCheckpointPages);  // as the engine's sessions keep their log
    Begin = Prep("BEGIN IMMEDIATE");
    Commit = Prep("COMMIT");
    Version = Prep("SELECT version FROM Version");
    FindCustomer = Prep("SELECT CustomerCode FROM Customer WHERE CustomerCode=?1");
    InsertCustomer = Prep(
        "INSERT INTO Customer(CustomerCode, CustomerName, Contact, Telephone, Fax, Mobile, Birthday, EMail, ABN, "
        "Address, Suburb, State, PostCode, Country, AutoPrintStatement, DeliveryAddress, DeliverySuburb, "
        "DeliveryState, DeliveryPostCode, DeliveryCountry, CreditLimit, CreditTerm, AccountManager, Live, PriceFlag, "
        "MapReference, Notes, DefaultDiscountRate, Grade, SpecialCustomer, GroupName, AccType, Gender, IsMember) "
        "VALUES(?1,?2,NULL,?3,NULL,?4,NULL,?5,NULL,?6,?7,?8,?9,?10,1,?11,?12,?13,?14,?15,0,0,NULL,1,0,NULL,NULL,0,0,0,"
        "NULL,0,0,1)");
    UpdateCustomer = Prep(
        "UPDATE Customer SET CustomerName=?2, Telephone=?3, Mobile=?4, Email=?5, Address=?6, Suburb=?7, PostCode=?9, "
        "State=?8, Country=?10, DeliveryAddress=?11, DeliverySuburb=?12, DeliveryPostCode=?14, DeliveryState=?13, "
        "DeliveryCountry=?15 WHERE CustomerCode=?1");
    FindOrder = Prep("SELECT InvoiceNo FROM InvoiceHead WHERE OnlineOrderId=?1");
    ReadProfile = Prep("SELECT GenerateInvoiceNoKind, POSInit FROM Profile");
    MaxNo = Prep("SELECT max(InvoiceNo) FROM InvoiceHead WHERE InvoiceNo >= ?1 AND InvoiceNo < ?1 || 'z'");
    InsertHead = Prep(std::string(statement_values::kInvoiceHeadInsert) + "VALUES(" + Places(1, 50) + ")");
    InsertLine = Prep(
        "INSERT INTO InvoiceItem(InvoiceNo, ProductCode, Qty, Price, NetPrice, Discount, GSTRate, UnitCost, KindFlag, "
        "PriceKind, DeductStockQty, OriginalPrice, ID, WarehouseCode, CreditedQty, InvoiceItemID, ManuallyEnterWeight, "
        "IsMixMatchDiscountItem, ProductFamilyCode, IsRedeemItem, RedeemItemPoints) VALUES(" + Places(1, 21) + ")");
    UpdateStock = Prep("UPDATE Product SET StockQty1=StockQty1-?2, StockValue1=StockValue1-?3 WHERE ProductCode=?1");
    MaxId = Prep("SELECT max(IDNo) FROM RecvAcct WHERE InvoiceNo=?1");
    InsertPay = Prep(
        "INSERT INTO RecvAcct(InvoiceNo, AccountDate, PaidAmount, PayBy, Notes, Bank, Transfer, IDNo, OpName, "
        "RecordDateTime, MachineID, Deposit, PaymentID, Repayment, GiftCardBalance, GiftCardExpireDate, EFTPOSNote, "
        "GiftCardCode, GiftCard, DepositBalance) VALUES(?1,?2,?3,?4,'Online Payment',NULL,0,?5,'Online',?6,'Online',"
        "?7,0,0,0,NULL,NULL,'',0,?8)");
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
  // Texts as the batch writes them: empty is NULL.
  static void Text(sqlite3_stmt* st, int i, const std::string& s) {
    if (s.empty()) sqlite3_bind_null(st, i);
    else sqlite3_bind_text(st, i, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
  }
  static void Real(sqlite3_stmt* st, int i, double v) { sqlite3_bind_double(st, i, v); }
  static void Int(sqlite3_stmt* st, int i, int64_t v) { sqlite3_bind_int64(st, i, v); }

  void Customer(const TCustomer& c, bool exists) {
    sqlite3_stmt* st = exists ? UpdateCustomer : InsertCustomer;
    const std::string* values[] = {&c.CustomerCode, &c.CustomerName, &c.Telephone, &c.Mobile, &c.Email,
                                   &c.Address, &c.Suburb, &c.State, &c.PostCode, &c.Country, &c.DeliveryAddress,
                                   &c.DeliverySuburb, &c.DeliveryState, &c.DeliveryPostCode, &c.DeliveryCountry};
    for (int i = 0; i < 15; ++i) Text(st, i + 1, *values[i]);
    Run(st);
  }

  void Head(const TInvoiceHead& h, const std::string& no) {
    sqlite3_stmt* st = InsertHead;
    int i = 0;
    auto t = [&](const std::string& s) { Text(st, ++i, s); };
    auto f = [&](double v) { Real(st, ++i, v); };
    auto n = [&](int64_t v) { Int(st, ++i, v); };
    t(h.ReferenceNo), t(no), t(Stored(h.InvoiceDate, true)), t(h.CustomerCode), n(h.GSTStatus), n(h.ExemptTax);
    t(h.Notes), t(h.SalesName), t(h.OpName), n(h.Delivery), t(h.DeliveryAddress), f(h.TotalCost), f(h.Amount);
    f(h.GST), f(h.Freight), f(h.OtherCharge), f(h.FreightGSTRate), f(h.OtherChargeGSTRate);
    t(h.OtherChargeDescription), f(h.PaidAmount), t(h.CustomerOrderNo), n(h.KindFlag), n(h.LayByFlag);
    t(h.MachineId), t(h.WarehouseCode), n(h.Printed), t(Stored(h.InvoiceDate)), n(h.CreditInvoiceKind), n(h.Calc);
    n(h.Confirmed), n(h.Transfered), t(h.InternalNotes), f(h.RedeemPointsAsDollar), f(h.RedeemPointsGSTRate);
    n(h.PointsUploaded), f(h.DollarDiscount), n(h.DiscountKind), f(h.CurrentPoints), f(h.VoucherAmount);
    f(h.VoucherDiscount), f(h.CurrentGSTRate), n(h.CrossStoreSalesRefund), t(h.VoucherId), f(h.TotalRedeemPoints);
    f(h.RedeemBasePoints), n(0), n(1), n(h.OnlineOrder), t(h.OnlineOrderId), t(h.OnlineOrderStatus);
    Run(st);
  }

  void Line(const TInvoiceItem& it, const std::string& no, int id) {
    sqlite3_stmt* st = InsertLine;
    int i = 0;
    auto t = [&](const std::string& s) { Text(st, ++i, s); };
    auto f = [&](double v) { Real(st, ++i, v); };
    auto n = [&](int64_t v) { Int(st, ++i, v); };
    t(no), t(it.ProductCode), f(it.Qty), f(it.Price), f(it.NetPrice), f(it.Discount), f(it.GSTRate);
    f(it.UnitCost), n(it.KindFlag), n(it.PriceKind), f(it.DeductStockQty), f(it.OriginalPrice), n(id);
    t(it.WarehouseCode), f(it.CreditedQty), n(it.InvoiceItemId), n(it.ManuallyEnterWeight);
    n(it.IsMaxMatchDiscountItem), t(it.ProductFamilyCode), n(it.IsRedeemItem), f(it.RedeemItemPoints);
    Run(st);
    Text(UpdateStock, 1, it.ProductCode);
    Real(UpdateStock, 2, it.Qty * it.DeductStockQty);
    Real(UpdateStock, 3, it.Qty * it.DeductStockQty * it.UnitCost);
    Run(UpdateStock);
  }

  void Pay(const TPayment& p, const std::string& no, bool deposit) {
    Text(MaxId, 1, no);
    int64_t id = 1;
    if (sqlite3_step(MaxId) == SQLITE_ROW && sqlite3_column_type(MaxId, 0) != SQLITE_NULL)
      id = sqlite3_column_int64(MaxId, 0) + 1;
    sqlite3_reset(MaxId);
    Text(InsertPay, 1, no);
    Text(InsertPay, 2, Stored(p.PaymentDate));
    Real(InsertPay, 3, p.PaidAmount);
    Text(InsertPay, 4, p.PayMethod);
    Int(InsertPay, 5, id);
    Text(InsertPay, 6, Now);
    Int(InsertPay, 7, deposit);
    Real(InsertPay, 8, deposit ? p.Balance : 0);
    Run(InsertPay);
  }

  std::string Invoice(const TInvoice& d) {
    Run(Begin);
    Run(Version);
    Text(FindCustomer, 1, d.Customer.CustomerCode);
    const bool exists = sqlite3_step(FindCustomer) == SQLITE_ROW;
    sqlite3_reset(FindCustomer);
    Customer(d.Customer, exists);
    Text(FindOrder, 1, d.Head.OnlineOrderId);
    Run(FindOrder);
    std::string prefix;
    if (sqlite3_step(ReadProfile) == SQLITE_ROW)
      prefix = reinterpret_cast<const char*>(sqlite3_column_text(ReadProfile, 1));
    sqlite3_reset(ReadProfile);
    prefix += YyMmDd(d.Head.InvoiceDate).substr(0, 2);
    Text(MaxNo, 1, prefix);
    int seq = 1;
    if (sqlite3_step(MaxNo) == SQLITE_ROW && sqlite3_column_type(MaxNo, 0) != SQLITE_NULL)
      seq = std::atoi(reinterpret_cast<const char*>(sqlite3_column_text(MaxNo, 0)) + prefix.size()) + 1;
    sqlite3_reset(MaxNo);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06d", seq);
    const std::string no = prefix + digits;
    Head(d.Head, no);
    for (size_t l = 0; l < d.Items.size(); ++l) Line(d.Items[l], no, static_cast<int>(l) + 1);
    if (d.Payment.PaidAmount != 0 || d.Deposit.PaidAmount != 0) {
      if (d.Payment.PaidAmount != 0) Pay(d.Payment, no, false);
      if (d.Deposit.PaidAmount != 0) Pay(d.Deposit, no, true);
      Text(SumPaid, 1, no);
      double total = 0;
      if (sqlite3_step(SumPaid) == SQLITE_ROW) total = sqlite3_column_double(SumPaid, 0);
      sqlite3_reset(SumPaid);
      Text(UpdatePaid, 1, no);
      Real(UpdatePaid, 2, total);
      Run(UpdatePaid);
    }
    Run(Commit);
    return no;
  }
};

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Wall and CPU time of the work done in calls to Time.
struct TClock {
  double Wall = 0, Cpu = 0;
  template <class F>
  void Time(F&& work) {
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    work();
    Wall += Seconds(std::chrono::steady_clock::now() - t0);
    Cpu += CpuSeconds() - cpu0;
  }
};

}  // namespace

int main(int argc, char** argv) {
  int count = argc > 1 ? std::atoi(argv[1]) : 2000;
  if (count <= 0) count = 2000;
  // Invoices of other orders run first, untimed, through both: the engine
  // compiles the shapes it meets and SQLite prepares its statements. Their
  // time is shown apart.
  const int warmups = std::max(count / 10, 200);
  auto dir = std::filesystem::temp_directory_path() / ("bench-engine-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string engineFile = (dir / "engine.db").string(), floorFile = (dir / "floor.db").string();
  bench::HistoryDatabase(0, engineFile);
  bench::HistoryDatabase(0, floorFile);

  // The invoices, made as the order import makes them.
  std::vector<TInvoice> invoices;
  invoices.reserve(static_cast<size_t>(count));
  size_t lines = 0;
  {
    TConfig config;
    config.ServerName = "(EMBEDDED)";
    config.DatabaseName = engineFile;
    config.WarehouseCode = "1";
    SetConfig(config);
    TDatabaseModule db;
    if (!db.ConnectToServer(config)) {
      std::fprintf(stderr, "cannot open %s\n", engineFile.c_str());
      return 1;
    }
    std::mt19937 rng(20261208);
    for (int n = 0; n < count + warmups; ++n) {
      rapidjson::Document order;
      order.Parse<rapidjson::kParseNumbersAsStringsFlag>(bench::VariedOrder(100000 + n, rng).c_str());
      InitInvoice(db);
      std::string msg;
      const rapidjson::Value* loyalty = nullptr;
      if (!ParseOrderData(db.Document, ConfigSnapshot().WarehouseCode, order, msg, loyalty) || !CalcInvoice(db)) {
        std::fprintf(stderr, "order %d: %s\n", n, msg.c_str());
        return 1;
      }
      invoices.push_back({GenerateInvoiceBatch(db), db.Customer, db.InvoiceHead, db.InvoiceItem, db.Payment,
                          db.DepositPayment});
      if (n >= warmups) lines += db.InvoiceItem.size();
    }
  }

  std::string last, floorLast;
  TClock engine, floorClock, engineWarmup, floorWarmup;
  {
    auto session = CreateEmbeddedSession(engineFile);
    session->Open();
    TFloor floor(floorFile);
    const auto first = static_cast<size_t>(warmups), timed = invoices.size() - first;
    engineWarmup.Time([&] {
      for (size_t i = 0; i < first; ++i) last = session->Query(invoices[i].Batch).First().Rows[0][0].AsString();
    });
    floorWarmup.Time([&] {
      for (size_t i = 0; i < first; ++i) floorLast = floor.Invoice(invoices[i]);
    });
    constexpr size_t kRounds = 5;
    for (size_t r = 0; r < kRounds; ++r) {
      const size_t from = first + timed * r / kRounds, to = first + timed * (r + 1) / kRounds;
      auto runEngine = [&] {
        engine.Time([&] {
          for (size_t i = from; i < to; ++i) last = session->Query(invoices[i].Batch).First().Rows[0][0].AsString();
        });
      };
      auto runFloor = [&] {
        floorClock.Time([&] {
          for (size_t i = from; i < to; ++i) floorLast = floor.Invoice(invoices[i]);
        });
      };
      if (r % 2 == 0) {
        runEngine();
        runFloor();
      } else {
        runFloor();
        runEngine();
      }
    }
  }
  const double engineSecs = engine.Wall, floorSecs = floorClock.Wall;
  std::filesystem::remove_all(dir);
  if (last != floorLast) {
    std::fprintf(stderr, "the engine's last invoice %s, the floor's %s\n", last.c_str(), floorLast.c_str());
    return 1;
  }

  double engineRate = count / engineSecs, floorRate = count / floorSecs;
  std::printf("invoices:                       %d of varied orders (%.1f lines on average)\n", count,
              static_cast<double>(lines) / count);
  std::printf("engine (T-SQL batches):         %.0f invoices/s\n", engineRate);
  std::printf("prepared SQLite statements:     %.0f invoices/s\n", floorRate);
  std::printf("ratio (floor / engine):         %.2f  (target: at most 1.5)\n", floorRate / engineRate);
  std::printf("CPU time per invoice:           engine %.3f ms, floor %.3f ms, ratio %.2f\n", engine.Cpu * 1000 / count,
              floorClock.Cpu * 1000 / count, engine.Cpu / floorClock.Cpu);
  std::printf("warm-up, %d other invoices first: engine %.3f s, floor %.3f s, ratio %.2f (the engine compiles each "
              "shape it meets)\n",
              warmups, engineWarmup.Wall, floorWarmup.Wall, engineWarmup.Wall / floorWarmup.Wall);
  bench::PrintFigure("invoice writes of varied orders, embedded engine (T-SQL batches)", engineRate, 0, "invoices/s",
                     "at most 1.5x the floor's time", floorRate / engineRate);
  bench::PrintFigure("invoice writes of varied orders, floor (prepared SQLite statements)", floorRate, 0,
                     "invoices/s");
  bench::PrintFigure("invoice writes of varied orders, engine CPU time per invoice", engine.Cpu * 1000 / count, 3, "ms",
                     "-", engine.Cpu / floorClock.Cpu);
  bench::PrintFigure("invoice writes, warm-up of " + std::to_string(warmups) + " invoices, engine (shapes compiled)",
                     warmups / engineWarmup.Wall, 0, "invoices/s", "-", engineWarmup.Wall / floorWarmup.Wall);
  return 0;
}
