// TPrintBillForm: prints the receipt of one invoice the order import wrote,
// net of every credit note that credits it: its items, the totals, the
// payments, footnotes and the footer file "ZadezUdOdeve.CFG" beside the
// settings file. One instance per receipt, made and destroyed by
// PrintBillPro on the order worker thread; it owns its own rows and item
// buffer and uses the database module's connection and the process-wide
// printer state.
//
// The item buffer starts with 1000 empty entries and grows when an invoice
// has more receipt items, so nothing is ever cut off.
#pragma once

#include <string>
#include <vector>

#include "config/Config.h"
#include "config/DateTime.h"
#include "db/session/DbSession.h"
#include "print/ReceiptSettings.h"
#include "print/receipt/BuffType.h"
#include "print/receipt/ReceiptLocale.h"
#include "print/receipt/Totals.h"

namespace ooa {

class TDatabaseModule;

// The values of the invoice head the receipt uses (8-bit texts), with the
// credit notes' freight, other charge, points, discount and voucher added.
struct TBillHead {
  std::string Notes;
  bool GSTStatus = false;
  bool ExemptTax = false;
  double Freight = 0, FreightGSTRate = 0, OtherCharge = 0, OtherChargeGSTRate = 0;
  double RedeemPointsAsDollar = 0, RedeemPointsGSTRate = 0, DollarDiscount = 0, VoucherAmount = 0;
  std::string OtherChargeDescription;
  std::string CustomerCode, CustomerName;
  TDateTime InvoiceDate, TransferDateTime;
  bool Printed = false;
  double Rounding = 0;
  std::string OpName, MachineID;
  bool OnlineOrder = false;
  std::string OnlineOrderId;
  bool Delivery = false;
  std::string DeliveryAddress;
};

class TPrintBillForm {
 public:
  static constexpr size_t kInitialEntries = 1000;

  explicit TPrintBillForm(TDatabaseModule& db);

  // Prints the receipt of invoiceNo (an invoice of an online order, kind 6)
  // with its credit notes. True when the receipt went to the printer in full;
  // false, printing nothing, when the invoice is not found or the printer is
  // "N/A" (then not even the invoice is read, so no query runs). A printer
  // that cannot be opened, or any other printer error, is a TPrintError, a
  // database error a TDbError, both thrown to the caller; the unfinished
  // document is ended by the next receipt.
  static bool PrintBillPro(TDatabaseModule& db, const std::string& invoiceNo, bool signature, bool modified);

  // Runs sqlCmd on the database connection; its rows become Query.
  void OpenQuery(const std::string& sqlCmd);
  void CloseQuery();
  // The buffer back to kInitialEntries entries of initial values.
  void InitBuff();
  // Fills the buffer and ItemCount from the rows of the item query in Query.
  void PostDataToBuff();
  // The whole receipt; its result and errors as PrintBillPro's.
  bool PrintOutPro();

  // The item query for InvoiceNo (lines of the invoice and of its credit notes).
  std::string ItemQuerySql() const;
  // The receipt head of InvoiceNo, credit notes added; false when there is no head row.
  bool ReadHead(TBillHead& head);

  TRecordSet Query;
  std::string InvoiceNo;
  bool Signature = false;  // set by the caller; nothing depends on it
  bool Modified = false;   // the "MODIFIED ORDER" banner
  TDateTime InvoiceDate;
  std::vector<BuffType> Buff;
  double ItemCount = 0;

 private:
  void PrintItem(const BuffType& e, const TBillHead& head, const TReceiptLocale& locale);
  // Payment lines; returns the sum paid and collects the WeChat id and gift-card lines.
  double PrintPayments(const TReceiptLocale& locale, std::string& weChatId, std::vector<std::string>& giftCards);
  void PrintClosingLines(const TBillHead& head, const TReceiptTotals& totals, const std::string& weChatId,
                         const std::vector<std::string>& giftCards, const TReceiptLocale& locale);
  void PrintFooterFile();

  TDatabaseModule& Db;
  // The receipt options and printer settings, taken when the form is made,
  // so one receipt sees one consistent set.
  TReceiptSettings Options;
  TConfig PrinterConfig;
  std::string Separator;
};

// "ZadezUdOdeve.CFG" in the settings folder.
std::string ReceiptFooterPath();

}  // namespace ooa
