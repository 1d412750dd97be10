// TPrintBillForm: payments, footnotes and closing lines, and the footer file.
#include <cmath>
#include <filesystem>

#include "config/Clock.h"
#include "config/Config.h"
#include "config/UtilUnit.h"
#include "print/PrinterControlUnit.h"
#include "print/ReceiptSettings.h"
#include "print/receipt/PrintBillForm.h"
#include "print/receipt/ReceiptText.h"

namespace ooa {

std::string ReceiptFooterPath() { return ConfigDir() + "ZadezUdOdeve.CFG"; }

double TPrintBillForm::PrintPayments(const std::vector<TReceiptPayment>& payments, std::string& weChatId,
                                     std::vector<std::string>& giftCards) {
  const TReceiptLocale& locale = Locale;
  double paid = 0;
  for (const TReceiptPayment& p : payments) {
    if (p.PayBy == "CREDIT NOTES") continue;
    const double amount = p.PaidAmount;
    if (p.Notes.substr(0, 5) != "Card:" && p.LinkToDevice == 3) weChatId = p.EFTPOSNote;
    const std::string& card = p.GiftCardCode;
    if (!card.empty()) {
      const std::string masked = " ****" + (card.size() > 4 ? card.substr(card.size() - 4) : card);
      giftCards.push_back("**GIFT CARD" + masked + " BALANCE: " +
                          MoneyText(p.GiftCardBalance - amount, 2, 4, locale));
    }
    std::string line;
    if (amount < 0 && p.PayBy == "CASH" && p.Notes == "CHANGE")
      line = "CHANGE (CASH): " + MoneyText(std::fabs(amount), 2, 10, locale);
    else
      line = UpperAscii(p.PayBy) + ": " + MoneyText(amount, 2, 10, locale);
    PrintLine(AlignRight(line, 40));
    paid += amount;
  }
  return paid;
}

void TPrintBillForm::PrintClosingLines(const TReceiptHead& head, const TReceiptTotals& totals,
                                       const std::string& weChatId, const std::vector<std::string>& giftCards) {
  const TReceiptSettings& settings = Settings;
  const TReceiptLocale& locale = Locale;
  bool manualWeight = false, notReward = false;
  for (const BuffType& e : Buff) {
    if (!e.NeedPrint) continue;
    if (e.Scalable && e.ManuallyEnterWeight) manualWeight = true;
    if (!e.IsRewardItem) notReward = true;
  }
  if (totals.Taxable) PrintLine(PadRight("*Indicate taxable item", 40));
  if (manualWeight) PrintLine(PadRight("#Weight quantity is manually entered", 40));
  if (notReward) PrintLine(PadRight("^Not Reward Points", 40));
  if (std::fabs(head.VoucherAmount) >= 0.01)
    PrintLine(PadRight("** Received Voucher: " + MoneyText(head.VoucherAmount, 2, 4, locale) + " **", 40));
  if (!weChatId.empty()) PrintLine(PadRight("Wechat Pay Order ID: " + weChatId, 40));
  for (const std::string& g : giftCards) PrintLine(g);
  if (!head.CustomerCode.empty() && head.CustomerCode != "ZADEZUDODEVE") {
    PrintLine("Customer Code: " + head.CustomerCode);
    if (settings.PrintCustomerNameOnReceipt) PrintLine("Customer Name: " + head.CustomerName);
  }
  PrintLine(PadRight("Transaction: " + ReceiptDateTime(head.TransferDateTime), 40));
  if (head.Printed) PrintLine(PadRight("Print: " + ReceiptDateTime(Clock().NowLocal()), 40));
  PrintLine(Separator);
  // The notes as written, line by line, each broken between words into
  // receipt lines (the credit-note references the credit notes add stay
  // whole); an empty line prints as a single space.
  if (!head.Notes.empty()) {
    for (const std::string& line : SplitLines(head.Notes))
      for (const std::string& piece : WrapWords(line, 40)) PrintLine(piece.empty() ? " " : piece);
    PrintLine(Separator);
  }
}

void TPrintBillForm::PrintFooterFile() {
  const std::string path = ReceiptFooterPath();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return;
  const std::string text = Utf8ToAnsi(ReadTextFile(path));
  // CR LF is one break, and so is a lone CR or LF; an empty line prints as
  // a single space.
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      PrintLine(line.empty() ? " " : line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) PrintLine(line);
}

}  // namespace ooa
