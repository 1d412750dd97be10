// The module's credit note statement builders: the current order document
// rendered by db/credit/CreditStatements.h.
#include "config/Clock.h"
#include "db/DatabaseModule.h"
#include "db/credit/CreditStatements.h"

namespace ooa {

std::string TDatabaseModule::GenerateCreditNotesHeadSQLCmd() {
  return CreditNoteHeadSqlCmd(InvoiceHead, Clock().NowLocal());
}
std::string TDatabaseModule::GenerateCreditNotesItemSQLCmd() { return CreditNoteItemSqlCmd(InvoiceItem); }
std::string TDatabaseModule::GenerateCreditNotesPaymentSQLCmd() {
  return CreditNotePaymentSqlCmd(Payment, Clock().NowLocal());
}
std::string TDatabaseModule::GenerateCreditNotesDepositPaymentSQLCmd() {
  return CreditNoteDepositPaymentSqlCmd(DepositPayment, Clock().NowLocal());
}

}  // namespace ooa
