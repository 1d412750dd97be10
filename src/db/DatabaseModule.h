// TDatabaseModule: the program's one handle on the POS database. It owns the
// session and its lock, the query primitives, the sync log and the order
// document that the order import reuses. The routines that read and write
// the POS tables through it are free functions taking the module, each group
// with its own header: the catalogue queries (db/catalog/CatalogReads.h),
// the invoice write (db/order/InvoiceWrite.h), the credit notes
// (db/credit/CreditNotes.h), the receipt reader (db/receipt/).
//
// Threads: the UI thread (service start), the catalogue worker and the order
// worker all call it, possibly at the same time. Each operation (Select,
// ExecQueryPro, ...) holds the module's lock while it talks to the session;
// a query's rows go back to its caller by value, so the module keeps no rows
// and one pass never sees the other's. The order document belongs to the
// order pass alone.
// Created once in main before the shop module; lives until the program ends.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "config/Config.h"
#include "config/DateTime.h"
#include "db/session/DbSession.h"
#include "model/OrderDocument.h"

namespace ooa {

class TDatabaseModule {
 public:
  // sessionFactory creates the session for the given parameters (tests inject
  // their own); by default CreateDbSession.
  using TSessionFactory = std::function<std::unique_ptr<IDbSession>(const TDbConnectParams&)>;
  explicit TDatabaseModule(TSessionFactory sessionFactory = nullptr);
  ~TDatabaseModule();

  // ---- Session, lock, queries and sync log ---------------------------------
  // (Re)connects with the settings' ServerName and DatabaseName (base folder:
  // the settings file's folder). False on empty names or any failure.
  bool ConnectToServer();
  bool ConnectToServer(const TConfig& config);
  bool Connected() const;
  // Why the last ConnectToServer failed (the database's or the file's own
  // words); empty after a success.
  std::string ConnectError() const;
  // Holds the module's lock for one unit of work of the order import
  // (sync/OrderImport.h): the reset, the parsing of the shop's order or refund
  // into Document, and its write, so that no other pass's statements run in
  // between and no other thread sees the document half filled. Taken on the
  // order worker thread; the lock is recursive, so the module's own
  // operations still run under it. The invoice and credit-note routines
  // (db/order/InvoiceWrite.h, db/credit/CreditNotes.h) take it too, to keep their reads
  // and their batch together. Released when the returned lock ends.
  [[nodiscard]] std::unique_lock<std::recursive_mutex> HoldForOneOrder();
  // Runs a statement or batch and hands back every result set it produced,
  // in order (none for a batch without a select); the caller owns them. Any
  // thread; holds the module's lock while it talks to the session. Throws
  // TDbError on a database error, and TDbError("The database connection is
  // not open") when not connected.
  TQueryResult Select(const std::string& sqlCmd);
  // The same, but only the first result set: the rows most queries read. A
  // batch without a result set gives an empty set (no columns, no rows).
  TRecordSet SelectRows(const std::string& sqlCmd);
  // Runs a query whose rows may be many and hands them to piece at most
  // `rows` at a time (IDbSession::QueryInPieces). Holds the module's lock
  // until the last piece is handled. Throws TDbError on a database error.
  void OpenQueryInPieces(const std::string& sqlCmd, size_t rows,
                         const std::function<void(const TRecordSet&)>& piece);
  // The rows of "Select * From Profile" (the company details); nothing on any
  // error (not connected, a database error, no result set). Any thread.
  std::optional<TRecordSet> SelectCompanyRows();
  // Runs a statement or batch without rows; false on any error (not logged).
  bool ExecQueryPro(const std::string& sqlCmd);
  // Same, but keeps the error text for callers that report it.
  bool ExecQueryPro(const std::string& sqlCmd, std::string& errorText);
  // Gives back what the session keeps to be faster (IDbSession::ReleaseMemory);
  // the passes call it when they end.
  void ReleaseMemory();
  TDateTime GetLastSyncTime(const std::string& event);
  void UpdateSyncLogPro(TDateTime syncTime, const std::string& event);
  // Same, but false with the database's message when the time was not stored.
  bool UpdateSyncLogPro(TDateTime syncTime, const std::string& event, std::string& errorText);

  // ---- Order document (used by the order pass only) -------------------------
  TOrderDocument Document;
  // The document's parts under the names the order and credit-note routines use.
  TCustomer& Customer = Document.Customer;
  TInvoiceHead& InvoiceHead = Document.InvoiceHead;
  std::vector<TInvoiceItem>& InvoiceItem = Document.InvoiceItem;
  TPayment& Payment = Document.Payment;
  TPayment& DepositPayment = Document.DepositPayment;
  std::string& DataFault = Document.DataFault;

 private:
  TSessionFactory SessionFactory;
  mutable std::recursive_mutex Mutex;
  std::unique_ptr<IDbSession> Session;
  std::string ConnectErrorText;
};

}  // namespace ooa
