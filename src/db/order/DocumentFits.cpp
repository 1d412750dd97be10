#include "config/ActivityLog.h"
#include "db/order/OrderFigures.h"
#include "db/order/OrderMessages.h"
#include "db/order/OrderTextWidths.h"

namespace ooa {

bool DocumentFitsPos(const TCustomer& customer, const TInvoiceHead& head, const std::vector<TInvoiceItem>& items,
                     const TPayment& payment, const TPayment& depositPayment, std::string& msg) {
  if (!OrderFiguresFinite(head, items, payment, depositPayment)) {
    LogLine(kOrderFiguresOutOfRange);
    msg = kMsgOrderDataError;
    return false;
  }
  if (const auto tooLong = FindTooLongText(customer, head, items, payment)) {
    LogLine(TooLongTextLine(*tooLong));
    msg = tooLong->Message;
    return false;
  }
  return true;
}

}  // namespace ooa
