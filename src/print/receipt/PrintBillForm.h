// TPrintBillForm: prints the receipt of one invoice the order import wrote,
// net of every credit note that credits it, from its record (model/Receipt.h):
// its items, the totals, the payments, footnotes and the footer file
// "ZadezUdOdeve.CFG" beside the settings file. One instance per receipt, made
// and destroyed by PrintBillPro (sync/ReceiptPrint.h) on the order worker
// thread; it owns its item buffer and uses the process-wide printer state.
//
// The item buffer starts with 1000 empty entries and grows when an invoice
// has more receipt items, so nothing is ever cut off.
#pragma once

#include <string>
#include <vector>

#include "config/Config.h"
#include "config/DateTime.h"
#include "model/Receipt.h"
#include "print/ReceiptSettings.h"
#include "print/receipt/BuffType.h"
#include "print/receipt/ReceiptLocale.h"
#include "print/receipt/Totals.h"

namespace ooa {

class TPrintBillForm {
 public:
  static constexpr size_t kInitialEntries = 1000;

  // Takes the receipt options, the locale and the printer settings of now, so
  // one receipt sees one consistent set.
  TPrintBillForm();

  // False when the receipt printer is "N/A": no receipt is wanted, and
  // nothing needs reading for one.
  bool PrinterWanted() const;
  // Starts the receipt document of invoiceNo. False, starting nothing, for
  // the printer "N/A"; a printer that cannot be opened is a TPrintError.
  bool OpenPrinter(const std::string& invoiceNo);
  // The whole receipt on the document OpenPrinter started, which it ends. A
  // printer error is a TPrintError; the unfinished document is ended by the
  // next receipt.
  void PrintOutPro(const TReceipt& receipt);

  // The buffer back to kInitialEntries entries of initial values.
  void InitBuff();
  // Fills the buffer and ItemCount from the receipt's lines.
  void PostDataToBuff(const std::vector<TReceiptLine>& lines);

  // The options the form took (the lines are read in the order they ask for).
  const TReceiptSettings& Options() const { return Settings; }

  bool Signature = false;  // set by the caller; nothing depends on it
  bool Modified = false;   // the "MODIFIED ORDER" banner
  TDateTime InvoiceDate;
  std::vector<BuffType> Buff;
  double ItemCount = 0;

 private:
  void PrintItem(const BuffType& e, const TReceiptHead& head);
  // Payment lines; returns the sum paid and collects the WeChat id and gift-card lines.
  double PrintPayments(const std::vector<TReceiptPayment>& payments, std::string& weChatId,
                       std::vector<std::string>& giftCards);
  void PrintClosingLines(const TReceiptHead& head, const TReceiptTotals& totals, const std::string& weChatId,
                         const std::vector<std::string>& giftCards);
  void PrintFooterFile();

  TReceiptSettings Settings;
  TReceiptLocale Locale;
  TConfig PrinterConfig;
  std::string Separator;
};

// "ZadezUdOdeve.CFG" in the settings folder.
std::string ReceiptFooterPath();

}  // namespace ooa
