#include "db/order/OrderTextWidths.h"

#include <string_view>

#include "config/Utf8Count.h"
#include "model/OrderMessages.h"

namespace ooa {

namespace {

// Characters of UTF-8 text without its trailing blanks.
size_t CharCount(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return Utf8CharCount(text);
}

struct TField {
  const std::string& Text;
  const char* Name;
  int Width;
  const std::string& Message;
};

}  // namespace

std::optional<TTooLongText> FindTooLongText(const TCustomer& c, const TInvoiceHead& h,
                                            const std::vector<TInvoiceItem>& items, const TPayment& payment) {
  // The widths of the Customer, InvoiceHead, InvoiceItem and RecvAcct columns.
  const TField fields[] = {
      {c.CustomerCode, "customer code", 30, kMsgCustomerDataError},
      {c.CustomerName, "customer name", 100, kMsgCustomerDataError},
      {c.Telephone, "billing phone", 30, kMsgCustomerDataError},
      {c.Mobile, "shipping phone", 30, kMsgCustomerDataError},
      {c.Email, "email", 100, kMsgCustomerDataError},
      {c.Address, "billing address", 200, kMsgCustomerDataError},
      {c.Suburb, "billing city", 60, kMsgCustomerDataError},
      {c.State, "billing state", 30, kMsgCustomerDataError},
      {c.PostCode, "billing postcode", 15, kMsgCustomerDataError},
      {c.Country, "billing country", 60, kMsgCustomerDataError},
      {c.DeliveryAddress, "delivery address", 200, kMsgCustomerDataError},
      {c.DeliverySuburb, "shipping city", 60, kMsgCustomerDataError},
      {c.DeliveryState, "shipping state", 30, kMsgCustomerDataError},
      {c.DeliveryPostCode, "shipping postcode", 15, kMsgCustomerDataError},
      {c.DeliveryCountry, "shipping country", 60, kMsgCustomerDataError},
      {h.CustomerCode, "customer code", 30, kMsgOrderDataError},
      {h.DeliveryAddress, "delivery address", 400, kMsgOrderDataError},
      {h.OnlineOrderId, "id", 30, kMsgOrderDataError},
      {h.OnlineOrderStatus, "status", 30, kMsgOrderDataError},
      {h.VoucherId, "coupon id", 50, kMsgOrderDataError},
      {payment.PayMethod, "payment method", 30, kMsgOrderPaymentDataError},
  };
  for (const TField& f : fields)
    if (CharCount(f.Text) > static_cast<size_t>(f.Width)) return TTooLongText{f.Name, f.Width, f.Message};
  for (const TInvoiceItem& item : items)
    if (CharCount(item.ProductCode) > 30) return TTooLongText{"SKU", 30, kMsgOrderItemsDataError};
  return std::nullopt;
}

std::string TooLongTextLine(const TTooLongText& text) {
  return "The order's " + text.Field + " is longer than the POS keeps (" + std::to_string(text.Width) +
         " characters).";
}

}  // namespace ooa
