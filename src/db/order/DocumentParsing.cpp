// TDatabaseModule's parsing members: the shop's order and refund parsing
// (shop/woo) on the module's own document, lines booked to the configured
// warehouse.
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "shop/woo/OrderParsing.h"
#include "shop/woo/RefundParsing.h"

namespace ooa {

bool TDatabaseModule::ParseOrderData(const rapidjson::Value& jsonData, std::string& msg,
                                     const rapidjson::Value*& loyalty) {
  return ooa::ParseOrderData(Document, ConfigSnapshot().WarehouseCode, jsonData, msg, loyalty);
}

bool TDatabaseModule::ParseCustomer(const rapidjson::Value& jsonData, const rapidjson::Value* loyalty) {
  return ooa::ParseCustomer(Document, jsonData, loyalty);
}

bool TDatabaseModule::ParseInvoiceHead(const rapidjson::Value& jsonData, const rapidjson::Value* loyalty,
                                       bool refund) {
  return ooa::ParseInvoiceHead(Document, jsonData, loyalty, refund);
}

bool TDatabaseModule::ParseInvoiceItems(const rapidjson::Value& jsonArray, bool refund) {
  return ooa::ParseInvoiceItems(Document, ConfigSnapshot().WarehouseCode, jsonArray, refund);
}

bool TDatabaseModule::ParsePayment(const rapidjson::Value& jsonData, bool refund) {
  return ooa::ParsePayment(Document, jsonData, refund);
}

bool TDatabaseModule::ParseDepositPayment(const rapidjson::Value& jsonData, const rapidjson::Value* loyalty,
                                          bool refund) {
  return ooa::ParseDepositPayment(Document, jsonData, loyalty, refund);
}

bool TDatabaseModule::ParseItemsAndPayments(const rapidjson::Value& jsonData, const rapidjson::Value* loyalty,
                                            bool refund, std::string& msg) {
  return ooa::ParseItemsAndPayments(Document, ConfigSnapshot().WarehouseCode, jsonData, loyalty, refund, msg);
}

bool TDatabaseModule::ParseOrderRefundData(const rapidjson::Value& jsonData, const std::string& invoiceNo,
                                           std::string& msg, const rapidjson::Value*& loyalty) {
  return ooa::ParseOrderRefundData(Document, ConfigSnapshot().WarehouseCode, jsonData, invoiceNo, msg, loyalty);
}

}  // namespace ooa
