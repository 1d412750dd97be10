// InitInvoice / InitInvoiceItem: the order document's values before an
// operation of the order import fills it.
#include "config/Clock.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "db/order/InvoiceWrite.h"

namespace ooa {

void InitInvoice(TDatabaseModule& db) {
  const TDateTime today = Clock().NowLocal().DateOnly();
  const std::string warehouse = ConfigSnapshot().WarehouseCode;
  ResetCustomer(db.Customer);
  ResetInvoiceHead(db.InvoiceHead, today, warehouse);
  db.InvoiceItem.clear();
  ResetPayment(db.Payment, today, "Online");
  ResetPayment(db.DepositPayment, today, "Deposit");
  db.DataFault.clear();
}

void InitInvoiceItem(TDatabaseModule& db, TInvoiceItem& item) {
  ResetInvoiceItem(item, ConfigSnapshot().WarehouseCode);
}

}  // namespace ooa
