// Where a receipt drawn for a pdf:PATH printer goes. Every receipt keeps a
// file of its own, named after its invoice, and no file is ever overwritten:
//   pdf:DIR/ or an existing folder  DIR/<invoice>.pdf
//   pdf:NAME.pdf                    NAME-<invoice>.pdf (beside NAME)
//   pdf:NAME (no ".pdf")            NAME-<invoice>.pdf
// A name already taken (the invoice printed again after a refund, a second
// program run) gets "-2", "-3", ... before ".pdf". Without an invoice number
// the folder form uses "Receipt" and the file forms use NAME as it stands.
// Called by OpenReceiptPrinter on the order worker thread.
#pragma once

#include <string>

namespace ooa {

// The file for this receipt, created empty (exclusively, so that no other
// receipt takes the name) for the canvas to write. Throws TPrintError when
// the folder does not exist or no file can be created there.
std::string ReservePdfReceiptFile(const std::string& target, const std::string& invoiceNo);

}  // namespace ooa
