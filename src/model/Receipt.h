// TReceipt: what the receipt of one invoice of an online order shows, as read
// from the POS database (db/receipt/ReceiptRows.h) and printed by the receipt
// layout (print/receipt/PrintBillForm.h): the invoice head with its credit
// notes' amounts added, the lines of the invoice and of its credit notes, the
// company details and the payments. Texts are 8-bit text in the receipt code
// page, as the rows gave them; numbers and flags as the database gave them
// (NULL reads as empty text, 0, false). Plain records, made on the order
// worker for one receipt and owned by whoever holds them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/DateTime.h"

namespace ooa {

// The values of the invoice head the receipt uses, with the credit notes'
// freight, other charge, points, discount and voucher added.
struct TReceiptHead {
  std::string Notes;
  bool GSTStatus = false;  // prices include GST
  bool ExemptTax = false;
  double Freight = 0, FreightGSTRate = 0, OtherCharge = 0, OtherChargeGSTRate = 0;
  double RedeemPointsAsDollar = 0, RedeemPointsGSTRate = 0, DollarDiscount = 0, VoucherAmount = 0;
  std::string OtherChargeDescription;
  std::string CustomerCode, CustomerName;
  TDateTime InvoiceDate, TransferDateTime;
  bool Printed = false;
  double Rounding = 0;  // the sum of the invoice's "ROUNDING" payments
  std::string OpName, MachineID;
  bool OnlineOrder = false;
  std::string OnlineOrderId;
  bool Delivery = false;
  std::string DeliveryAddress;
};

// One line of the invoice or of one of its credit notes (quantity not 0),
// with its product's descriptions, barcodes and location and its family's
// mix-and-match discount. Each field is the column of the same name.
struct TReceiptLine {
  std::string ProductCode;
  std::string Description, Description1, Description2, Description3;  // main, then translations
  std::string SubDescription, SubDescription1, SubDescription2, SubDescription3, SubDescription4,
      SubDescription5;  // by price level 0 to 5
  std::string Barcode, Barcode1, Barcode2, Barcode3, Barcode4, Barcode5;  // by price level 0 to 5
  std::string Location;
  std::string DiscountItemCode, DiscountDescription;
  double Qty = 0;
  double Price = 0;
  double DiscountRate = 0;  // percent (the line's Discount)
  double GSTRate = 0;       // percent
  double OriginalPrice = 0;
  double TareWeight = 0;  // grams
  int64_t PriceKind = 0;  // price level of the sale
  bool Scalable = false;
  bool ManuallyEnterWeight = false;
  bool IsMixMatchDiscountItem = false;
  bool IsRewardItem = false;
};

// One payment row of the invoice (not "ROUNDING"), in entry order.
struct TReceiptPayment {
  std::string PayBy;
  std::string Notes;
  std::string EFTPOSNote;
  std::string GiftCardCode;
  double PaidAmount = 0;
  double GiftCardBalance = 0;
  int64_t LinkToDevice = 0;  // of the payment kind; 3: a WeChat payment
};

// The company details of the first Profile row; all empty without a row.
struct TReceiptCompany {
  std::string CompanyName, ABN, Telephone, Fax, Address;
};

struct TReceipt {
  std::string InvoiceNo;  // as the caller named it (UTF-8)
  TReceiptHead Head;
  std::vector<TReceiptLine> Lines;  // in the order the receipt lists them
  TReceiptCompany Company;
  std::vector<TReceiptPayment> Payments;
};

}  // namespace ooa
