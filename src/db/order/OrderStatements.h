// The T-SQL statements of the invoice write batch, rendered from the order
// document: customer upsert, invoice head with its numbering, lines with their
// stock deduction, the shop and deposit payment rows, and the whole batch.
// Values are rendered one way per type: texts with SqlTextLiteral, flags with
// BoolToSqlBit, integers as digits, doubles with FloatToText, dates and
// date-times with SqlDateLiteral / SqlDateTimeLiteral. Pure functions; any
// thread. `now` is the local time written as RecordDateTime.
#pragma once

#include <string>
#include <vector>

#include "db/session/DbSession.h"
#include "model/OrderDocument.h"

namespace ooa {

std::string CustomerSqlCmd(const TCustomer& customer);
std::string InvoiceHeadSqlCmd(const TInvoiceHead& head);
// One insert and one stock update per line; ID is the 1-based position.
// Throws TDbError when a line's warehouse code cannot name a stock column.
std::string InvoiceItemSqlCmd(const std::vector<TInvoiceItem>& items);
// Shared by invoice and credit-note lines: a line's insert values from
// ProductCode to ProductFamilyCode (id its 1-based position), and its stock
// update of its warehouse's columns (throws TDbError for an unsafe code).
std::string InvoiceItemValues(const TInvoiceItem& item, int id);
std::string StockDeductionSql(const TInvoiceItem& item);
// A payment row's insert up to "Values(@InvoiceNo,", numbered after the
// invoice's last IDNo (@Id).
extern const char* const kRecvAcctPrefix;
std::string PaymentSqlCmd(const TPayment& payment, TDateTime now);
std::string DepositPaymentSqlCmd(const TPayment& payment, TDateTime now);

struct TOrderDocumentView {
  const TCustomer& Customer;
  const TInvoiceHead& Head;
  const std::vector<TInvoiceItem>& Items;
  const TPayment& Payment;
  const TPayment& DepositPayment;
};
// The invoice write batch: Version lock, customer, head, lines, payment rows
// and paid total in one transaction. It selects the new number right after
// drawing it, and ends with "Select @InvoiceNo As InvoiceNo, @Modified As
// Modified", which only a committed batch reaches.
// Once it holds the Version lock it looks for an invoice of the order again
// (another copy of the service may have written it since the pass looked):
// when there is one it writes nothing and its only result is that invoice's
// number as AlreadyWritten. So the head's rewrite branch never runs.
std::string InvoiceBatchSql(const TOrderDocumentView& doc, TDateTime now);

// The check that opens a write batch right after its Version lock: when
// `findDone` (a select of one document number) finds a document, the batch
// commits nothing else and answers "Select <number> As AlreadyWritten".
std::string AlreadyWrittenCheck(const std::string& findDone);
inline constexpr const char* kAlreadyWrittenColumn = "AlreadyWritten";
// True and the number when a batch's result is that answer.
bool FindAlreadyWritten(const TQueryResult& result, std::string& number);

// "yymmdd" of a date.
std::string YyMmDd(TDateTime date);

}  // namespace ooa
