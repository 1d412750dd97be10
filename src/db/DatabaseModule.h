// TDatabaseModule: the program's one handle on the POS database. It owns the
// session, the order document that the order import reuses, and the routines
// that read and write the POS tables (sync log, catalogue queries, order and
// credit-note batches, print settings), each group in its own source file.
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
#include "db/WriteOutcome.h"
#include "model/OrderDocument.h"

namespace ooa {

class TDatabaseModule {
 public:
  // sessionFactory creates the session for the given parameters (tests inject
  // their own); by default CreateDbSession.
  using TSessionFactory = std::function<std::unique_ptr<IDbSession>(const TDbConnectParams&)>;
  explicit TDatabaseModule(TSessionFactory sessionFactory = nullptr);
  ~TDatabaseModule();

  // ---- Session and sync log ----------------------------------------------
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
  // (db/order/InvoiceWrite.h, db/credit/) take it too, to keep their reads
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

  // ---- Credit notes ----------------------------------------------------------
  // Nothing when invoiceNo has lines and has not been credited; otherwise the
  // refusal: InvoiceMissing ("This invoice dose not exsits.") or
  // AlreadyCredited ("This invoice credited already."). Credited already: a
  // line's CreditedQty above 0, or a cancellation credit note (kind 5,
  // ReferenceNo the invoice, no shop refund id) on the invoice. A database
  // error is thrown.
  std::optional<TWriteOutcome> CreditRefusal(const std::string& invoiceNo);
  // The same as a flag: true when invoiceNo may be credited; otherwise false
  // with the refusal's message.
  bool IsInvoiceCredited(const std::string& invoiceNo, std::string& msg);
  // Fills the order document as the credit note of invoiceNo (head and lines
  // negated, the first payment and deposit row reversed); false when the
  // invoice head or its lines are missing. A database error is thrown.
  bool GetOriginalInvoice(const std::string& invoiceNo);
  // Statements of the credit note batch for the current document (numbering,
  // head and note on the credited invoice; lines; the reversal rows of the
  // payment and the deposit). db/credit/CreditStatements.h renders them.
  std::string GenerateCreditNotesHeadSQLCmd();
  std::string GenerateCreditNotesItemSQLCmd();
  std::string GenerateCreditNotesPaymentSQLCmd();
  std::string GenerateCreditNotesDepositPaymentSQLCmd();
  // Books the cancellation of invoiceNo as a credit note in one transaction.
  // It credits what earlier credit notes (partial refunds) left: per line the
  // quantity not yet credited (their lines matched by product code and price
  // level), the head amounts and payments less what they credited; nothing
  // left is AlreadyCredited ("This invoice credited already."). Written only
  // when the batch committed: message "Success", Number the credit note.
  // Otherwise the refusal of CreditRefusal, InvoiceMissing when the invoice
  // cannot be loaded, AlreadyWritten with the credit note that is there, or
  // NotWritten when a line's warehouse code is unsafe or the batch rolled
  // back. Errors while loading the invoice are thrown.
  TWriteOutcome ProcessCancelOrder(const std::string& invoiceNo);
  // The same as a flag: true when written; msg the outcome's message; creditNo
  // set when written or found written.
  bool ProcessCancelOrder(const std::string& invoiceNo, std::string& creditNo, std::string& msg);
  // Books the shop refund parsed into Document as a credit note of invoiceNo
  // (the order import checks CreditRefusal and parses it under
  // HoldForOneOrder): calculates it, then one batch. Written only when the
  // batch committed: message "Success", Number the credit note. DataError
  // with the message and Fault for a line that gives back more of an invoice
  // line than remains ("Order items data error.") or a document the POS
  // cannot hold; AlreadyWritten with the credit note that is there;
  // NotWritten for an unsafe warehouse code or a batch that rolled back.
  // Database errors before the batch are thrown.
  TWriteOutcome WriteParsedOrderRefund(const std::string& invoiceNo);

 private:
  TSessionFactory SessionFactory;
  mutable std::recursive_mutex Mutex;
  std::unique_ptr<IDbSession> Session;
  std::string ConnectErrorText;
};

}  // namespace ooa
