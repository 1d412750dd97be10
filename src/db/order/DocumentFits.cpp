#include "db/order/OrderFigures.h"
#include "model/OrderMessages.h"
#include "db/order/OrderTextWidths.h"

namespace ooa {

bool DocumentFitsPos(const TCustomer& customer, const TInvoiceHead& head, const std::vector<TInvoiceItem>& items,
                     const TPayment& payment, const TPayment& depositPayment, std::string& msg,
                     std::string& fault) {
  if (!OrderFiguresFinite(head, items, payment, depositPayment)) {
    fault = kOrderFiguresOutOfRange;
    msg = kMsgOrderDataError;
    return false;
  }
  if (const auto tooLong = FindTooLongText(customer, head, items, payment)) {
    fault = TooLongTextLine(*tooLong);
    msg = tooLong->Message;
    return false;
  }
  return true;
}

}  // namespace ooa
