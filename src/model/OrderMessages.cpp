#include "model/OrderMessages.h"

namespace ooa {

bool IsOrderDataFailure(const std::string& msg) {
  return msg == kMsgCustomerDataError || msg == kMsgOrderDataError || msg == kMsgOrderItemsDataError ||
         msg == kMsgDepositPaymentDataError || msg == kMsgOrderPaymentDataError;
}

}  // namespace ooa
