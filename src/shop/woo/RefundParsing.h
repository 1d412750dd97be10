// The refund branches of the order parsing routines: what a shop refund puts
// into the credit note's head, payment and deposit payment. Each throws
// (TJsonReadError and the like) when a value is missing or unusable; the
// parsing routines turn that into their false. Any thread; no state.
#pragma once

#include <rapidjson/document.h>

#include "model/OrderDocument.h"

namespace ooa {

// The refund's meta data key of its loyalty redemption object.
inline constexpr const char* kRefundLoyaltyKey = "_qev_loyalty_redemption_refund";

// Customer, refund id, date and the loyalty figures negated; kind 5.
void ReadRefundHead(TInvoiceHead& head, const rapidjson::Value& refund, const rapidjson::Value* loyalty);
// The refunded money, negated, paid back "Online" at the refund's time.
void ReadRefundPayment(TPayment& payment, const rapidjson::Value& refund);
// The refunded deposit, negated, at the refund's time.
void ReadRefundDepositPayment(TPayment& payment, const rapidjson::Value& refund, const rapidjson::Value* loyalty);

}  // namespace ooa
