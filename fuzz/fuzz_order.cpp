// Fuzz target: the order pass over a shop's order list. The input is the body
// of the shop's answer (a list of orders, or one order as a list of one); it
// reaches the pass as a shop answer does: through the REST channel (its depth
// limit, numbers kept as their text) and the pass's reading of the list. Each
// order the pass accepts as a list element goes through the order import
// as ProcessOrder takes it, up to the batch: ParseOrderData,
// CalcInvoice on the fuzz POS database, the checks of its figures and texts.
// Bad data must end in a parsing message or TOrderDataError. An order that is accepted
// must give an invoice batch that passes CheckBatch (BatchCheck.h), and
// ProcessOrder must then write it to the fuzz POS database. Then a whole order
// pass (SyncOrders) runs over the same answer, with no refunds in the shop:
// its dispatch, refusals and problems list must hold whatever the list holds.
#include <rapidjson/document.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BatchCheck.h"
#include "FuzzShop.h"
#include "PosDatabase.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "db/order/InvoiceWrite.h"
#include "db/order/OrderFigures.h"
#include "model/OrderMessages.h"
#include "shop/woo/OrderParsing.h"
#include "sync/OrderImport.h"

namespace {

using namespace ooa;

void ParseOne(TDatabaseModule& db, const rapidjson::Value& order) {
  InitInvoice(db);
  const rapidjson::Value* loyalty = nullptr;
  std::string msg;
  bool ok = false;
  try {
    ok = ParseOrderData(db.Document, ConfigSnapshot().WarehouseCode, order, msg, loyalty);
  } catch (const TOrderDataError&) {
    return;
  }
  if (!ok) {
    if (msg.empty()) {
      std::fprintf(stderr, "fuzz_order: an order was refused without a message\n");
      std::abort();
    }
    return;
  }
  // The rest of ProcessOrder up to the batch: the calculation on the POS
  // database, and the refusal of figures that overflowed or texts too long.
  CalcInvoice(db);
  std::string refusal, fault;
  if (!DocumentFitsPos(db.Customer, db.InvoiceHead, db.InvoiceItem, db.Payment, db.DepositPayment, refusal, fault))
    return;
  const TCustomer& c = db.Customer;
  std::vector<const std::string*> texts = {
      &c.CustomerCode, &c.CustomerName, &c.Telephone, &c.Mobile, &c.Address, &c.Suburb,
      &c.PostCode, &c.State, &c.Country, &c.Email, &c.DeliveryAddress, &c.DeliverySuburb,
      &db.InvoiceHead.OnlineOrderId, &db.InvoiceHead.OnlineOrderStatus, &db.InvoiceHead.DeliveryAddress,
      &db.InvoiceHead.VoucherId, &db.Payment.PayMethod};
  for (const TInvoiceItem& item : db.InvoiceItem) texts.push_back(&item.ProductCode);
  fuzz::CheckBatch(GenerateInvoiceBatch(db), texts);

  // The whole import: an order the import accepts must be written; a failed
  // write would come back on every pass and hold the sync time back. An order
  // of the same id written by an earlier input (libFuzzer runs inputs again)
  // is found by the batch under its lock, which writes nothing.
  const TWriteOutcome written = ProcessOrder(db, order);
  if (!written.Written() && written.Kind != TWriteKind::AlreadyWritten) {
    std::fprintf(stderr, "fuzz_order: an accepted order was not written: %s\n", written.Message.c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TDatabaseModule& db = fuzz::FuzzDatabase();
  const std::string body = fuzz::ShopListBody(data, size);
  fuzz::ForEachListedObject(body, "orders", db, ParseOne);
  fuzz::RunOrderPass(db, [&body](const std::string& resource) -> std::string {
    if (resource == "orders") return body;
    if (resource.size() > 8 && resource.compare(resource.size() - 8, 8, "/refunds") == 0) return "[]";
    return "";
  });
  return 0;
}
