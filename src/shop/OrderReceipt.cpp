#include "shop/OrderReceipt.h"

#include "print/receipt/PrintBillForm.h"

namespace ooa {

void PrintOrderReceipt(TDatabaseModule& db, const std::string& invoiceNo, bool signature, bool modified) {
  TPrintBillForm::PrintBillPro(db, invoiceNo, signature, modified);
}

}  // namespace ooa
