// The order pass's receipt hook: prints the receipt of an invoice after the
// pass wrote it, or wrote a credit note against it. Called on the order worker
// thread. Prints through TPrintBillForm::PrintBillPro (the invoice net of its
// credit notes). A printer error costs only the receipt: it is logged as a
// status line and the pass goes on. A database error is thrown to the pass.
#pragma once

#include <string>

namespace ooa {

class TDatabaseModule;

void PrintOrderReceipt(TDatabaseModule& db, const std::string& invoiceNo, bool signature, bool modified);

}  // namespace ooa
