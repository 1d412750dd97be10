// The T-SQL of a credit note batch, rendered from the order document: the
// head with its CN numbering and the note on the credited invoice, the credit
// lines with their CreditedQty and stock updates, the payment rows written on
// the credited invoice, and the whole batch for a cancellation or a refund.
// Pure functions; any thread. `now` is the local time written as
// TransferDateTime and RecordDateTime.
#pragma once

#include <string>
#include <vector>

#include "db/session/DbSession.h"
#include "model/OrderDocument.h"

namespace ooa {

// Draws the next CN number of the year of head.InvoiceDate, selects it
// ("Select @CreditNo"), inserts the head and notes the credit on the credited
// invoice (head.ReferenceNo) unless that note is there already.
std::string CreditNoteHeadSqlCmd(const TInvoiceHead& head, TDateTime now);
// Per line: CreditedQty of the credited invoice's lines of that product, the
// credit line (ID = 1-based position) and the stock update of its warehouse.
// Throws TDbError when a line's warehouse code cannot name a stock column.
std::string CreditNoteItemSqlCmd(const std::vector<TInvoiceItem>& items);
// The reversal rows on the credited invoice (PaidAmount as in the document,
// negative), their Notes "SALE REFUND: " and the credit note number.
std::string CreditNotePaymentSqlCmd(const TPayment& payment, TDateTime now);
std::string CreditNoteDepositPaymentSqlCmd(const TPayment& payment, TDateTime now);

enum class TCreditKind { Cancellation, Refund };

struct TCreditNoteView {
  const TInvoiceHead& Head;
  const std::vector<TInvoiceItem>& Items;
  const TPayment& Payment;
  const TPayment& DepositPayment;
};
// The whole batch in one transaction under the Version lock. Its first result
// set is the new number; a second one (the closing select) only comes from a
// batch that committed.
std::string CreditNoteBatchSql(const TCreditNoteView& doc, TCreditKind kind, TDateTime now);

// True when the result of a credit note batch shows the commit.
bool CreditNoteCommitted(const TQueryResult& result);

// The first warehouse code of the lines that is not letters, digits and
// underscores; false when every code is safe to complete a column name.
bool FindUnsafeWarehouseCode(const std::vector<TInvoiceItem>& items, std::string& code);

}  // namespace ooa
