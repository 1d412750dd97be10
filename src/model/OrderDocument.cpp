// The order document's values before an operation of the order import fills it.
#include "model/OrderDocument.h"

namespace ooa {

void ResetCustomer(TCustomer& customer) { customer = TCustomer{}; }

void ResetInvoiceHead(TInvoiceHead& head, TDateTime today, const std::string& warehouseCode) {
  head = TInvoiceHead{};
  head.InvoiceDate = today;
  head.GSTStatus = true;
  head.OpName = "Online";
  head.KindFlag = 6;
  head.MachineId = "Online";
  head.WarehouseCode = warehouseCode;
  head.SalesName = "Online";
  head.CreditInvoiceKind = -1;
  head.Calc = true;
  head.Confirmed = true;
  head.PointsUploaded = true;
  head.SyncStatus = 1;
  head.OnlineOrder = true;
}

void ResetInvoiceItem(TInvoiceItem& item, const std::string& warehouseCode) {
  item = TInvoiceItem{};
  item.KindFlag = 6;
  item.WarehouseCode = warehouseCode;
  item.IsRedeemItem = true;
}

void ResetPayment(TPayment& payment, TDateTime today, const std::string& payMethod) {
  payment = TPayment{};
  payment.PaymentDate = today;
  payment.PayMethod = payMethod;
}

}  // namespace ooa
