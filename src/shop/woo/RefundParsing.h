// The parsing of one shop refund into an order document (as a credit note),
// and the refund branches of the order parsing routines: what a shop refund
// puts into the credit note's head, payment and deposit payment. Any thread;
// no state.
#pragma once

#include <string>

#include <rapidjson/document.h>

#include "model/OrderDocument.h"

namespace ooa {

// The refund's meta data key of its loyalty redemption object.
inline constexpr const char* kRefundLoyaltyKey = "_qev_loyalty_redemption_refund";

// Parses one shop refund into doc as a credit note of invoiceNo (lines booked
// to warehouseCode); false with a parsing message of model/OrderMessages.h,
// the reason in doc.DataFault. loyalty receives the
// "_qev_loyalty_redemption_refund" object (a pointer into jsonData) or stays
// nullptr. Values read without a guard throw TOrderDataError.
bool ParseOrderRefundData(TOrderDocument& doc, const std::string& warehouseCode, const rapidjson::Value& jsonData,
                          const std::string& invoiceNo, std::string& msg, const rapidjson::Value*& loyalty);

// The refund branches below each throw (TJsonReadError and the like) when a
// value is missing or unusable; the parsing routines turn that into their
// false.

// Customer, refund id, date and the loyalty figures negated; kind 5.
void ReadRefundHead(TInvoiceHead& head, const rapidjson::Value& refund, const rapidjson::Value* loyalty);
// The refunded money, negated, paid back "Online" at the refund's time.
void ReadRefundPayment(TPayment& payment, const rapidjson::Value& refund);
// The refunded deposit, negated, at the refund's time.
void ReadRefundDepositPayment(TPayment& payment, const rapidjson::Value& refund, const rapidjson::Value* loyalty);

}  // namespace ooa
