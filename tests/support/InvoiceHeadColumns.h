// The column list of the invoice and credit note head insert, as the batches
// send it: the start of the statement that tests expecting a whole batch
// compare against. Test thread only.
#pragma once

#include <string>

namespace ooa::test {

inline const std::string kInvoiceHeadInsert =
    "Insert Into InvoiceHead(ReferenceNo, InvoiceNo, InvoiceDate, CustomerCode, GSTStatus, "
    "ExemptTax, Notes, SalesName, OpName, Delivery, DeliveryAddress, TotalCost, Amount, GST, "
    "Freight, OtherCharge, FreightGSTRate, OtherChargeGSTRate, OtherChargeDescription, "
    "PaidAmount, CustomerOrderNo, KindFlag, LayByFlag, MachineID, WarehouseCode, Printed, "
    "TransferDateTime, CreditInvoiceKind, Calc, Confirmed, Transfered, InternalNotes, "
    "RedeemPointsAsDollar, RedeemPointsGSTRate, PointsUploaded, DollarDiscount, DiscountKind, "
    "CurrentPoints, VoucherAmount, VoucherDiscount, CurrentGSTRate, CrossStoreSalesRefund, "
    "VoucherId, TotalRedeemPoints, RedeemBasePoints, IsWholesale, SyncStatus, OnlineOrder, OnlineOrderId, "
    "OnlineOrderStatus) ";

}  // namespace ooa::test
