// FitRefundToInvoice: a refund credit note gives back no more of an invoice
// line than the line sold less what earlier credit notes took back.
//
// The shop lets each of its order lines be refunded up to its quantity, but
// the POS may hold credit notes the shop knows nothing of, and a product's
// pack size may have changed since the sale. A refund line is matched to the
// invoice lines of its product code and price level; asking for more than
// they have left refuses the refund as bad data (the owner sees it; nothing
// is written), since a clamped credit note would no longer show the refund
// the shop made. A matched line gives back the stock units per unit the sale
// took, and the head's cost follows.
#include <algorithm>
#include <cmath>

#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "db/credit/EarlierCredits.h"
#include "model/OrderMessages.h"

namespace ooa {

namespace {

std::string TooMuchLine(const TInvoiceItem& item, double left) {
  return "The refund gives back more of " + item.ProductCode + " at price level " +
         std::to_string(item.PriceKind + 1) + " than the invoice has left (" + FloatToText(left) + ").";
}

}  // namespace

bool FitRefundToInvoice(TDatabaseModule& db, const std::string& invoiceNo, std::string& msg) {
  const TInvoiceCredits invoice = ReadInvoiceCredits(db, invoiceNo);
  std::vector<double> left(invoice.Lines.size());
  for (size_t i = 0; i < left.size(); ++i) left[i] = std::max(0.0, invoice.Lines[i].Qty - invoice.Credited[i]);

  std::vector<TCreditTaken> asked;
  for (const TInvoiceItem& item : db.InvoiceItem) {
    TCreditTaken a;
    a.ProductCode = item.ProductCode;
    a.PriceKind = item.PriceKind;
    a.DeductStockQty = item.DeductStockQty;
    a.Qty = -item.Qty;
    asked.push_back(a);
  }
  const std::vector<double> before = left;
  const std::vector<TLineFit> fits = FitToRemainders(invoice.Lines, left, asked);

  double cost = 0;
  for (size_t k = 0; k < fits.size(); ++k) {
    TInvoiceItem& item = db.InvoiceItem[k];
    if (std::isfinite(asked[k].Qty) && asked[k].Qty > kQtyTolerance) {
      if (asked[k].Qty - fits[k].Matched > kQtyTolerance) {
        double had = 0;
        for (size_t i = 0; i < invoice.Lines.size(); ++i)
          if (invoice.Lines[i].ProductCode == item.ProductCode && invoice.Lines[i].PriceKind == item.PriceKind)
            had += before[i];
        db.DataFault = TooMuchLine(item, had);
        msg = kMsgOrderItemsDataError;
        return false;
      }
      item.DeductStockQty = fits[k].DeductStockQty;
    }
    cost += item.DeductStockQty * item.Qty * item.UnitCost;
  }
  db.InvoiceHead.TotalCost = cost;
  return true;
}

}  // namespace ooa
