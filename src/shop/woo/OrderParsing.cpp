// Parsing of one shop order into an order document. The refund branches
// (refund == true) belong to the credit-note import.
#include "shop/woo/OrderParsing.h"

#include <cmath>
#include <exception>

#include "model/OrderMessages.h"
#include "shop/woo/OrderJson.h"
#include "shop/woo/OrderSku.h"
#include "shop/woo/RefundParsing.h"
#include "shop/woo/Unguarded.h"

namespace ooa {

namespace {

const char* const kLoyaltyKey = "_qev_loyalty_redemption";

std::string OrderCustomerCodeOrThrow(const rapidjson::Value& order, const rapidjson::Value& loyalty) {
  const std::string member = JsonText(loyalty, "memberCode");
  const std::string customerId = member.empty() ? JsonText(order, "customer_id") : std::string();
  std::string code;
  if (!OrderCustomerCode(member, customerId, code)) {
    if (member.empty())
      throw TJsonReadError("The customer code \"OnlineUser-" + customerId + "\" is longer than the POS allows.");
    throw TJsonReadError("The member code \"" + member + "\" has " + std::to_string(Utf8CharCount(member)) +
                         " characters; a POS customer code holds " + std::to_string(kMaxCustomerCodeLength) + ".");
  }
  return code;
}

}  // namespace

bool ParseOrderData(TOrderDocument& doc, const std::string& warehouseCode, const rapidjson::Value& jsonData,
                    std::string& msg, const rapidjson::Value*& loyalty) {
  Unguarded("Order", [&] {
    const rapidjson::Value& meta = JsonArray(jsonData, "meta_data");
    for (const auto& element : meta.GetArray()) {
      if (JsonText(element, "key") == kLoyaltyKey) loyalty = &JsonObject(element, "value");
    }
    return 0;
  });
  if (!ParseCustomer(doc, jsonData, loyalty)) {
    msg = kMsgCustomerDataError;
    return false;
  }
  if (!ParseInvoiceHead(doc, jsonData, loyalty, false)) {
    msg = kMsgOrderDataError;
    return false;
  }
  return ParseItemsAndPayments(doc, warehouseCode, jsonData, loyalty, false, msg);
}

bool ParseItemsAndPayments(TOrderDocument& doc, const std::string& warehouseCode, const rapidjson::Value& jsonData,
                           const rapidjson::Value* loyalty, bool refund, std::string& msg) {
  const rapidjson::Value& lines = Unguarded("Order", [&]() -> const rapidjson::Value& {
    return JsonArray(jsonData, "line_items");
  });
  if (lines.Empty() || !ParseInvoiceItems(doc, warehouseCode, lines, refund)) {
    if (lines.Empty()) doc.DataFault = "The order has no lines.";
    msg = kMsgOrderItemsDataError;
    return false;
  }
  bool ok = true;
  const double deposit = Unguarded("Order", [&] { return JsonNumber(*loyalty, "depositPayment"); });
  if (deposit > 0 && !ParseDepositPayment(doc, jsonData, loyalty, refund)) {
    msg = kMsgDepositPaymentDataError;
    ok = false;
  }
  const double money = Unguarded("Order", [&] { return JsonNumber(jsonData, refund ? "amount" : "total"); });
  if (money > 0 && !ParsePayment(doc, jsonData, refund)) {
    msg = kMsgOrderPaymentDataError;
    return false;
  }
  return ok;
}

bool ParseCustomer(TOrderDocument& doc, const rapidjson::Value& jsonData, const rapidjson::Value* loyalty) {
  try {
    if (!loyalty) throw TJsonReadError(std::string("The order has no \"") + kLoyaltyKey + "\" entry.");
    const rapidjson::Value& shipping = JsonObject(jsonData, "shipping");
    const rapidjson::Value& billing = JsonObject(jsonData, "billing");
    TCustomer& c = doc.Customer;
    c.CustomerCode = OrderCustomerCodeOrThrow(jsonData, *loyalty);
    c.CustomerName = JsonText(billing, "first_name") + " " + JsonText(billing, "last_name");
    c.Telephone = JsonText(billing, "phone");
    c.Mobile = JsonText(shipping, "phone");
    c.Address = JsonText(billing, "address_1") + " " + JsonText(billing, "address_2");
    c.Suburb = JsonText(billing, "city");
    c.PostCode = JsonText(billing, "postcode");
    c.State = JsonText(billing, "state");
    c.Country = JsonText(billing, "country");
    c.DeliveryAddress = JsonText(shipping, "first_name") + " " + JsonText(shipping, "last_name") + ", " +
                        JsonText(shipping, "phone") + ", " + JsonText(shipping, "address_1") + " " +
                        JsonText(shipping, "address_2");
    c.DeliverySuburb = JsonText(shipping, "city");
    c.DeliveryPostCode = JsonText(shipping, "postcode");
    c.DeliveryState = JsonText(shipping, "state");
    c.DeliveryCountry = JsonText(shipping, "country");
    c.Email = JsonText(billing, "email");
    return true;
  } catch (const std::exception& e) {
    doc.DataFault = e.what();
    return false;
  }
}

bool ParseInvoiceHead(TOrderDocument& doc, const rapidjson::Value& jsonData, const rapidjson::Value* loyalty,
                      bool refund) {
  try {
    if (refund) {
      ReadRefundHead(doc.InvoiceHead, jsonData, loyalty);
      return true;
    }
    if (!loyalty) throw TJsonReadError(std::string("The order has no \"") + kLoyaltyKey + "\" entry.");
    TInvoiceHead& h = doc.InvoiceHead;
    // A guest order's head carries the same fallback code as its customer row,
    // so the receipt finds the customer.
    h.CustomerCode = OrderCustomerCodeOrThrow(jsonData, *loyalty);
    h.OnlineOrder = true;
    h.OnlineOrderId = JsonText(jsonData, "id");
    h.InvoiceDate = JsonLocalDateTime(jsonData, "date_created_gmt");
    const rapidjson::Value& shippingLines = JsonArray(jsonData, "shipping_lines");
    if (shippingLines.Empty() || !shippingLines[0].IsObject())
      throw TJsonReadError("The order has no shipping line.");
    const rapidjson::Value& firstShippingLine = shippingLines[0];
    const rapidjson::Value& shipping = JsonObject(jsonData, "shipping");
    JsonMember(jsonData, "payment_method");
    h.OnlineOrderStatus = JsonText(jsonData, "status");
    h.Freight = JsonNumber(jsonData, "shipping_total");
    h.OtherCharge = 0;
    if (JsonText(firstShippingLine, "method_id") == "local_pickup") {
      h.Delivery = false;
    } else {
      h.Delivery = true;
      h.DeliveryAddress = JsonText(shipping, "first_name") + " " + JsonText(shipping, "last_name") + ", " +
                          JsonText(shipping, "phone") + ", " + JsonText(shipping, "address_1") + " " +
                          JsonText(shipping, "address_2") + ", " + JsonText(shipping, "city") + " " +
                          JsonText(shipping, "postcode") + ", " + JsonText(shipping, "state") + ", " +
                          JsonText(shipping, "country");
    }
    h.RedeemPointsAsDollar = JsonNumber(*loyalty, "redeemPointsDollar");
    h.CurrentPoints = JsonNumber(*loyalty, "pointsBalance");
    h.TotalRedeemPoints = JsonNumber(*loyalty, "redeemPoints");
    h.RedeemBasePoints = JsonNumber(*loyalty, "redeemBasePoints");
    h.DiscountKind = 3;
    h.VoucherAmount = JsonNumber(*loyalty, "dealCouponDiscount");
    h.VoucherDiscount = JsonNumber(*loyalty, "dealCouponDiscount");
    h.VoucherId = JsonText(*loyalty, "couponId");
    h.KindFlag = 6;
    h.Notes.clear();
    return true;
  } catch (const std::exception& e) {
    doc.DataFault = e.what();
    return false;
  }
}

bool ParseInvoiceItems(TOrderDocument& doc, const std::string& warehouseCode, const rapidjson::Value& jsonArray,
                       bool refund) {
  try {
    if (!jsonArray.IsArray()) throw TJsonReadError("\"line_items\" is not a list.");
    for (const auto& line : jsonArray.GetArray()) {
      const std::string sku = JsonText(line, "sku");
      const TSkuParts parts = SplitSku(sku);
      const double q = JsonNumber(line, "quantity");
      const double s = JsonNumber(line, "subtotal");
      const double t = JsonNumber(line, "subtotal_tax");
      if (q == 0) throw TJsonReadError("A line's \"quantity\" is 0.");
      if (std::fabs(q) > kMaxLineQuantity)
        throw TJsonReadError("A line's \"quantity\" " + JsonText(line, "quantity") + " is beyond " +
                             std::to_string(static_cast<long>(kMaxLineQuantity)) + " for one line.");
      // The shop sends an order's lines with positive quantities and a
      // refund's with negative ones; the other sign would move stock the
      // wrong way.
      if (refund ? q > 0 : q < 0)
        throw TJsonReadError(std::string(refund ? "A refund" : "An order") + " line's \"quantity\" " +
                             JsonText(line, "quantity") + " has the wrong sign (" +
                             (refund ? "a refund's lines are negative" : "an order's lines are positive") + ").");
      TInvoiceItem item;
      ResetInvoiceItem(item, warehouseCode);
      item.ProductCode = parts.ProductCode;
      if (parts.HasSuffix) item.SuffixedSku = sku;
      item.Qty = q;
      item.Price = (s + t) / q;
      item.PriceKind = parts.PriceKind;
      item.Amount = s + t;
      item.GST = t;
      doc.InvoiceItem.push_back(std::move(item));
    }
    return true;
  } catch (const std::exception& e) {
    doc.DataFault = e.what();
    return false;
  }
}

bool ParsePayment(TOrderDocument& doc, const rapidjson::Value& jsonData, bool refund) {
  try {
    if (refund) {
      ReadRefundPayment(doc.Payment, jsonData);
      return true;
    }
    doc.Payment.PaymentDate = JsonLocalDateTime(jsonData, "date_paid_gmt");
    doc.Payment.PaidAmount = JsonNumber(jsonData, "total");
    doc.Payment.PayMethod = JsonText(jsonData, "payment_method");
    doc.Payment.Balance = 0;
    return true;
  } catch (const std::exception& e) {
    doc.DataFault = e.what();
    return false;
  }
}

bool ParseDepositPayment(TOrderDocument& doc, const rapidjson::Value& jsonData, const rapidjson::Value* loyalty,
                         bool refund) {
  try {
    if (refund) {
      ReadRefundDepositPayment(doc.DepositPayment, jsonData, loyalty);
      return true;
    }
    if (!loyalty) throw TJsonReadError(std::string("The order has no \"") + kLoyaltyKey + "\" entry.");
    doc.DepositPayment.PaymentDate = JsonLocalDateTime(jsonData, "date_created_gmt");
    doc.DepositPayment.PayMethod = "Deposit";
    doc.DepositPayment.PaidAmount = JsonNumber(*loyalty, "depositPayment");
    doc.DepositPayment.Balance = JsonNumber(*loyalty, "depositBalance");
    return true;
  } catch (const std::exception& e) {
    doc.DataFault = e.what();
    return false;
  }
}

}  // namespace ooa
