// The fixed messages of the order import and the error type for order data
// that cannot be read at all. Shared by the order and refund paths and by the
// order pass, which logs them. Whether a failure is the order's own data (it
// fails the same way until the shop changes it) or the database's (the next
// pass tries again) is the outcome's kind (db/WriteOutcome.h), not its text.
#pragma once

#include <stdexcept>
#include <string>

namespace ooa {

inline const std::string kMsgSuccess = "Success";
inline const std::string kMsgCustomerDataError = "Customer data error.";
inline const std::string kMsgOrderDataError = "Order data error.";
inline const std::string kMsgOrderItemsDataError = "Order items data error.";
inline const std::string kMsgDepositPaymentDataError = "Deposit payment data error.";
inline const std::string kMsgOrderPaymentDataError = "Order payment data error.";
// The batch found, under its lock, that the document was written already
// (by another copy of the service, since the pass looked); it wrote nothing
// and the number out-parameter holds the document that is there.
inline const std::string kMsgAlreadyWritten = "The document was written already.";
// The invoice batch did not commit (it rolled back, or the database reported
// an error while running it); the database's message may follow.
inline const std::string kMsgInvoiceNotWritten = "The invoice was not written; the database rolled the batch back.";

// An order value that the import reads without a guard is missing or unusable
// ("meta_data", "line_items", "total", the loyalty entry's "value" or
// "depositPayment"). Ends the running pass; nothing of the order is written.
class TOrderDataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace ooa
