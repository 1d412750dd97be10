// How the invoice and credit-note statements render their values, one way per
// type: texts with SqlTextLiteral, flags with BoolToSqlBit, integers as
// digits, doubles with FloatToText; the invoice head's column list; and the
// error tests that follow each statement of a batch. Short names, for the
// statement builders' .cpp files only (`using namespace statement_values;`).
// Pure; any thread.
#pragma once

#include <string>

#include "config/UtilUnit.h"

namespace ooa::statement_values {

inline std::string T(const std::string& text) { return SqlTextLiteral(text); }
inline std::string B(bool value) { return BoolToSqlBit(value); }
inline std::string I(int value) { return std::to_string(value); }
inline std::string F(double value) { return FloatToText(value); }

// The invoice head's insert up to its values, for invoices and credit notes.
inline constexpr const char* kInvoiceHeadInsert =
    "Insert Into InvoiceHead(ReferenceNo, InvoiceNo, InvoiceDate, CustomerCode, GSTStatus, "
    "ExemptTax, Notes, SalesName, OpName, Delivery, DeliveryAddress, TotalCost, Amount, GST, "
    "Freight, OtherCharge, FreightGSTRate, OtherChargeGSTRate, OtherChargeDescription, "
    "PaidAmount, CustomerOrderNo, KindFlag, LayByFlag, MachineID, WarehouseCode, Printed, "
    "TransferDateTime, CreditInvoiceKind, Calc, Confirmed, Transfered, InternalNotes, "
    "RedeemPointsAsDollar, RedeemPointsGSTRate, PointsUploaded, DollarDiscount, DiscountKind, "
    "CurrentPoints, VoucherAmount, VoucherDiscount, CurrentGSTRate, CrossStoreSalesRefund, "
    "VoucherId, TotalRedeemPoints, RedeemBasePoints, IsWholesale, SyncStatus, OnlineOrder, OnlineOrderId, "
    "OnlineOrderStatus) ";

inline constexpr const char* kErrorTest = "if @@Error <> 0 Begin GoTo BRK End; ";
inline constexpr const char* kLineErrorTest = "IF @@Error <> 0 begin goto BRK end; ";

}  // namespace ooa::statement_values
