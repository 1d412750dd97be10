// InitInvoice / InitInvoiceItem: the order document's values before an
// operation of the order import fills it.
#include "config/Clock.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"

namespace ooa {

void TDatabaseModule::InitInvoice() {
  const TDateTime today = Clock().NowLocal().DateOnly();
  const std::string warehouse = ConfigSnapshot().WarehouseCode;
  ResetCustomer(Customer);
  ResetInvoiceHead(InvoiceHead, today, warehouse);
  InvoiceItem.clear();
  ResetPayment(Payment, today, "Online");
  ResetPayment(DepositPayment, today, "Deposit");
  DataFault.clear();
}

void TDatabaseModule::InitInvoiceItem(TInvoiceItem& item) {
  ResetInvoiceItem(item, ConfigSnapshot().WarehouseCode);
}

}  // namespace ooa
