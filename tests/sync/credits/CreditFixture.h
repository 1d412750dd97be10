// A fresh embedded POS database for the credit note tests: the products of
// the order fixture (BEER, WINE; warehouse "1") and, unless told otherwise,
// one imported online invoice, W2600001: two lines at the first price level
// (BEER 2 at 3.50, WINE 1 at 20.00, IDs 1 and 2), a shop payment of 30 and a
// deposit of 10, a freight of 5 and a loyalty redemption. Test thread only; the file goes with the fixture.
#pragma once

#include <string>
#include <vector>

#include "support/PosFixture.h"

namespace ooa::test {

class TCreditFixture : public TPosFixture {
 public:
  explicit TCreditFixture(bool withInvoice = true);

  // "IDNo PaidAmount PayBy Notes Deposit" of every RecvAcct row of an invoice.
  std::vector<std::string> PaymentRows(const std::string& invoiceNo);
  // "ProductCode Qty ID InvoiceItemID KindFlag" of a document's lines.
  std::vector<std::string> Lines(const std::string& invoiceNo);
  // A snapshot of everything a credit note changes: row counts, credited
  // quantities, stock, and W2600001's paid amount and notes.
  std::string State();
};

}  // namespace ooa::test
