// Parsing of one shop order (or, with refund == true, the parts a refund
// shares with it) into an order document passed in. The routines read only
// JSON (numbers kept as their text, as the shop channel parses them);
// database lookups belong to CalcInvoice, and date-times are turned into
// local time with Clock(). warehouseCode is the configured warehouse a new
// line is booked to. Used by the order import (sync/OrderImport.h) on the
// order pass's worker thread; no state of their own.
//
// Each Parse* but ParseOrderData and ParseItemsAndPayments returns false with
// the reason in doc.DataFault when its part of the data is missing or
// unusable. The values read without a guard ("meta_data", "line_items",
// "total", ...) throw TOrderDataError (shop/woo/Unguarded.h).
#pragma once

#include <string>

#include <rapidjson/document.h>

#include "model/OrderDocument.h"

namespace ooa {

// The whole order: customer, head, lines and payments. False with one of the
// messages of model/OrderMessages.h for bad data. loyalty receives the
// "_qev_loyalty_redemption" object (a pointer into jsonData) or stays nullptr.
bool ParseOrderData(TOrderDocument& doc, const std::string& warehouseCode, const rapidjson::Value& jsonData,
                    std::string& msg, const rapidjson::Value*& loyalty);
bool ParseCustomer(TOrderDocument& doc, const rapidjson::Value& jsonData, const rapidjson::Value* loyalty);
bool ParseInvoiceHead(TOrderDocument& doc, const rapidjson::Value& jsonData, const rapidjson::Value* loyalty,
                      bool refund);
// Lines of an order (quantities positive) or a refund (negative); a
// quantity of 0, beyond kMaxLineQuantity or of the wrong sign is refused.
bool ParseInvoiceItems(TOrderDocument& doc, const std::string& warehouseCode, const rapidjson::Value& jsonArray,
                       bool refund);
bool ParsePayment(TOrderDocument& doc, const rapidjson::Value& jsonData, bool refund);
bool ParseDepositPayment(TOrderDocument& doc, const rapidjson::Value& jsonData, const rapidjson::Value* loyalty,
                         bool refund);
// The part an order and a refund parse alike once the head is read: the
// lines (at least one), the deposit payment when the loyalty object has one,
// and the payment when the money (the order's "total", the refund's
// "amount") is above 0. False with the message of the first bad part.
bool ParseItemsAndPayments(TOrderDocument& doc, const std::string& warehouseCode, const rapidjson::Value& jsonData,
                           const rapidjson::Value* loyalty, bool refund, std::string& msg);

}  // namespace ooa
