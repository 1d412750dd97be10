// The fixed messages of the order import and the error type for order data
// that cannot be read at all. Shared by the order and refund paths and by the
// order pass, which tells a data failure (the order itself is bad and will
// fail the same way until the shop changes it) from a write failure (the
// database or batch failed; the next pass tries again).
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

// True for the parsing messages: failures caused by the order's (or refund's)
// own data, which repeat on every pass until the shop changes the order.
bool IsOrderDataFailure(const std::string& msg);

// An order value that the import reads without a guard is missing or unusable
// ("meta_data", "line_items", "total", the loyalty entry's "value" or
// "depositPayment"). Ends the running pass; nothing of the order is written.
class TOrderDataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace ooa
