// The module's credit note statement builders: the current order document
// rendered by db/credit/CreditStatements.h.
#include "config/Clock.h"
#include "db/DatabaseModule.h"
#include "db/credit/CreditNotes.h"
#include "db/credit/CreditStatements.h"

namespace ooa {

std::string GenerateCreditNotesHeadSQLCmd(TDatabaseModule& db) {
  return CreditNoteHeadSqlCmd(db.InvoiceHead, Clock().NowLocal());
}
std::string GenerateCreditNotesItemSQLCmd(TDatabaseModule& db) { return CreditNoteItemSqlCmd(db.InvoiceItem); }
std::string GenerateCreditNotesPaymentSQLCmd(TDatabaseModule& db) {
  return CreditNotePaymentSqlCmd(db.Payment, Clock().NowLocal());
}
std::string GenerateCreditNotesDepositPaymentSQLCmd(TDatabaseModule& db) {
  return CreditNoteDepositPaymentSqlCmd(db.DepositPayment, Clock().NowLocal());
}

}  // namespace ooa
