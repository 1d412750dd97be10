// The order document: one customer, invoice head, list of lines, payment and
// deposit payment, owned by TDatabaseModule and reset (InitInvoice) before every
// operation of the order import. Plain field containers named after the POS
// columns they are written to; a fresh object has every number 0, every text
// empty and every flag false until InitInvoice / InitInvoiceItem run.
// Used only by the order pass's worker thread.
//
// Texts are UTF-8; date-times are local (0 means no date).
#pragma once

#include <string>
#include <vector>

#include "config/DateTime.h"

namespace ooa {

struct TCustomer {
  std::string CustomerCode;
  std::string CustomerName;
  std::string Telephone;
  std::string Mobile;
  std::string Address;
  std::string Suburb;
  std::string PostCode;
  std::string State;
  std::string Country;
  std::string DeliveryAddress;
  std::string DeliverySuburb;
  std::string DeliveryPostCode;
  std::string DeliveryState;
  std::string DeliveryCountry;
  std::string Email;
};

struct TInvoiceHead {
  std::string CustomerCode;
  TDateTime InvoiceDate;
  std::string ReferenceNo;
  std::string CustomerOrderNo;
  bool GSTStatus = false;
  std::string Notes;
  bool Delivery = false;
  std::string DeliveryAddress;
  std::string OpName;
  double Freight = 0;
  double FreightGSTRate = 0;
  double OtherCharge = 0;
  double OtherChargeGSTRate = 0;
  std::string OtherChargeDescription;
  double Amount = 0;
  double GST = 0;
  double PaidAmount = 0;
  double TotalCost = 0;
  int KindFlag = 0;
  bool ExemptTax = false;
  int LayByFlag = 0;
  std::string MachineId;
  std::string WarehouseCode;
  bool Printed = false;
  TDateTime TransferDateTime;
  std::string SalesName;
  int CreditInvoiceKind = 0;
  bool Calc = false;
  bool Confirmed = false;
  std::string InternalNotes;
  bool Transfered = false;
  double RedeemPointsAsDollar = 0;
  double RedeemPointsGSTRate = 0;
  bool PointsUploaded = false;
  double DollarDiscount = 0;
  int DiscountKind = 0;
  double CurrentPoints = 0;
  double VoucherAmount = 0;
  double CurrentGSTRate = 0;
  bool CrossStoreSalesRefund = false;
  double VoucherDiscount = 0;
  std::string VoucherId;
  double TotalRedeemPoints = 0;
  double RedeemBasePoints = 0;
  bool IsWholesale = false;
  int SyncStatus = 0;
  bool OnlineOrder = false;
  std::string OnlineOrderId;
  std::string OnlineOrderStatus;
};

struct TInvoiceItem {
  std::string ProductCode;
  double Qty = 0;
  double Price = 0;
  double Discount = 0;
  double GSTRate = 0;
  double UnitCost = 0;
  int ID = 0;
  int KindFlag = 0;
  double NetPrice = 0;
  std::string WarehouseCode;
  double DeductStockQty = 0;
  int PriceKind = 0;
  double CreditedQty = 0;
  int InvoiceItemId = 0;
  double OriginalPrice = 0;
  bool ManuallyEnterWeight = false;
  std::string ProductFamilyCode;
  bool IsMaxMatchDiscountItem = false;
  bool IsRedeemItem = false;
  double RedeemItemPoints = 0;
  bool IsRewardItem = false;
  double Amount = 0;
  double GST = 0;
  // Not a POS column: the shop's SKU as sent, when it carried a price-level
  // suffix ("-PK" and a level digit). The calculation takes the whole SKU as the
  // product code (at the first level) when the POS has a product of that code.
  std::string SuffixedSku;
};

struct TPayment {
  TDateTime PaymentDate;
  double PaidAmount = 0;
  std::string PayMethod;
  double Balance = 0;
};

// The whole document of one order, refund or cancellation. TDatabaseModule
// owns the one the order pass fills (its members Customer, InvoiceHead, ...
// name the parts); the shop's order and refund parsing (shop/woo) fills one
// passed in.
struct TOrderDocument {
  TCustomer Customer;
  TInvoiceHead InvoiceHead;
  std::vector<TInvoiceItem> InvoiceItem;
  TPayment Payment;
  TPayment DepositPayment;
  // Why the data of the last order or refund was refused (a missing key, a
  // value of the wrong kind, a text too long for its column, ...), to follow
  // the parsing message in the log and the problems list. Empty when the
  // message says it all; cleared by InitInvoice.
  std::string DataFault;
};

// Values of the document after InitInvoice; today is the local date (00:00),
// warehouseCode the configured warehouse.
void ResetCustomer(TCustomer& customer);
void ResetInvoiceHead(TInvoiceHead& head, TDateTime today, const std::string& warehouseCode);
void ResetInvoiceItem(TInvoiceItem& item, const std::string& warehouseCode);
void ResetPayment(TPayment& payment, TDateTime today, const std::string& payMethod);

}  // namespace ooa
