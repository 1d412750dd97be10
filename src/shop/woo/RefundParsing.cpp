// ParseOrderRefundData and the refund branches of the parsing routines. The
// refund's lines keep the signs the shop sends (negative quantities and
// money); only the refunded money, the deposit and the loyalty figures are
// negated here.
#include "shop/woo/RefundParsing.h"

#include "model/OrderMessages.h"
#include "shop/woo/OrderJson.h"
#include "shop/woo/OrderParsing.h"
#include "shop/woo/Unguarded.h"

namespace ooa {

namespace {

const rapidjson::Value& LoyaltyOrThrow(const rapidjson::Value* loyalty) {
  if (!loyalty) throw TJsonReadError(std::string("The refund has no \"") + kRefundLoyaltyKey + "\" entry.");
  return *loyalty;
}

}  // namespace

void ReadRefundHead(TInvoiceHead& h, const rapidjson::Value& refund, const rapidjson::Value* loyalty) {
  const rapidjson::Value& l = LoyaltyOrThrow(loyalty);
  h.CustomerCode = JsonText(l, "memberCode");
  h.OnlineOrder = true;
  h.OnlineOrderId = JsonText(refund, "id");
  h.InvoiceDate = JsonLocalDateTime(refund, "date_created_gmt");
  h.RedeemPointsAsDollar = -JsonNumber(l, "redeemPointsDollar");
  h.CurrentPoints = 0;
  h.TotalRedeemPoints = -JsonNumber(l, "redeemPoints");
  h.RedeemBasePoints = 0;
  h.DiscountKind = 3;
  h.VoucherAmount = -JsonNumber(l, "dealCouponDiscount");
  h.VoucherDiscount = -JsonNumber(l, "dealCouponDiscount");
  h.VoucherId.clear();
  h.KindFlag = 5;
  h.Notes.clear();
}

void ReadRefundPayment(TPayment& p, const rapidjson::Value& refund) {
  p.PaymentDate = JsonLocalDateTime(refund, "date_created_gmt");
  p.PaidAmount = -JsonNumber(refund, "amount");
  p.PayMethod = "Online";
  p.Balance = 0;
}

void ReadRefundDepositPayment(TPayment& p, const rapidjson::Value& refund, const rapidjson::Value* loyalty) {
  p.PaymentDate = JsonLocalDateTime(refund, "date_created_gmt");
  p.PayMethod = "Deposit";
  p.PaidAmount = -JsonNumber(LoyaltyOrThrow(loyalty), "depositPayment");
  p.Balance = 0;
}

bool ParseOrderRefundData(TOrderDocument& doc, const std::string& warehouseCode, const rapidjson::Value& jsonData,
                          const std::string& invoiceNo, std::string& msg, const rapidjson::Value*& loyalty) {
  Unguarded("Refund", [&] {
    for (const auto& element : JsonArray(jsonData, "meta_data").GetArray()) {
      if (JsonText(element, "key") == kRefundLoyaltyKey) loyalty = &JsonObject(element, "value");
    }
    return 0;
  });
  if (!ParseInvoiceHead(doc, jsonData, loyalty, true)) {
    msg = kMsgOrderDataError;
    return false;
  }
  doc.InvoiceHead.ReferenceNo = invoiceNo;
  return ParseItemsAndPayments(doc, warehouseCode, jsonData, loyalty, true, msg);
}

}  // namespace ooa
