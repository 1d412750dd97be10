// Fuzz target: the order pass over an order's refund list. The input is the
// body of the shop's answer (a list of refunds, or one refund as a list of
// one), reaching the pass as a shop answer does: through the REST channel and
// the pass's reading of the list. Each refund goes through the order import as
// ProcessOrderRefund takes it, up to the batch, as a credit note of invoice
// "INV26000001": ParseOrderRefundData, CalcInvoice on the fuzz POS database,
// the checks of its figures and texts. Bad data must end in a parsing message or
// TOrderDataError. A refund that is accepted must give a credit note batch
// that passes CheckBatch (BatchCheck.h), and ProcessOrderRefund must then book
// it on a newly imported invoice of the fuzz POS database. Then a whole order
// pass (SyncOrders) runs with one completed order, imported before, whose
// refund list is the input: its refund handling must hold whatever the list holds.
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
#include "config/Clock.h"
#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "db/order/InvoiceWrite.h"
#include "db/credit/CreditStatements.h"
#include "db/order/OrderFigures.h"
#include "model/OrderMessages.h"
#include "shop/woo/RefundParsing.h"
#include "sync/OrderImport.h"

namespace {

using namespace ooa;

// A paid member order of two BEER and one WINE, imported under a new id for
// every refund that is booked, so that each refund credits an open invoice.
std::string OrderJson(int id) {
  return R"({"id": )" + std::to_string(id) + R"(, "status": "completed", "date_modified_gmt": "2026-12-08T03:31:00",
   "customer_id": 57, "date_created_gmt": "2026-12-08T03:30:00", "date_paid_gmt": "2026-12-08T03:30:30",
   "payment_method": "stripe", "shipping_total": "11.00", "total": "50.00",
   "billing": {"first_name": "Ann", "last_name": "Lee", "phone": "0411", "email": "ann@x.au", "address_1": "1 Main St",
               "address_2": "", "city": "Hobart", "postcode": "7000", "state": "TAS", "country": "AU"},
   "shipping": {"first_name": "Ann", "last_name": "Lee", "phone": "0422", "address_1": "1 Main St", "address_2": "",
                "city": "Hobart", "postcode": "7000", "state": "TAS", "country": "AU"},
   "shipping_lines": [{"method_id": "flat_rate"}],
   "line_items": [{"sku": "BEER", "quantity": 2, "subtotal": "40.00", "subtotal_tax": "4.00"},
                  {"sku": "WINE", "quantity": 1, "subtotal": "20.00", "subtotal_tax": "2.00"}],
   "meta_data": [{"key": "_qev_loyalty_redemption", "value": {"memberCode": "M1001", "redeemPointsDollar": "0",
     "pointsBalance": "0", "redeemPoints": "0", "redeemBasePoints": "0", "dealCouponDiscount": "0",
     "couponId": "", "depositPayment": "0", "depositBalance": "0"}}], "refunds": [{"id": 1}]})";
}

std::string FreshInvoice(TDatabaseModule& db, int* orderId = nullptr) {
  static int nextId = 800000;
  const int id = nextId++;
  if (orderId) *orderId = id;
  const std::string json = OrderJson(id);
  rapidjson::Document order;
  order.Parse<rapidjson::kParseNumbersAsStringsFlag>(json.c_str());
  std::string invoiceNo, msg;
  bool modified = false;
  if (!ProcessOrder(db, order, invoiceNo, msg, modified)) {
    std::fprintf(stderr, "fuzz_refund: the invoice to credit was not written: %s\n", msg.c_str());
    std::abort();
  }
  return invoiceNo;
}

void ParseOne(TDatabaseModule& db, const rapidjson::Value& refund) {
  InitInvoice(db);
  const rapidjson::Value* loyalty = nullptr;
  std::string msg;
  bool ok = false;
  try {
    ok = ParseOrderRefundData(db.Document, ConfigSnapshot().WarehouseCode, refund, "INV26000001", msg, loyalty);
  } catch (const TOrderDataError&) {
    return;
  }
  if (!ok) {
    if (msg.empty()) {
      std::fprintf(stderr, "fuzz_refund: a refund was refused without a message\n");
      std::abort();
    }
    return;
  }
  // The rest of ProcessOrderRefund up to the batch: the calculation on the
  // POS database, and the refusal of figures that overflowed or texts too long.
  CalcInvoice(db);
  std::string refusal, fault;
  if (!DocumentFitsPos(db.Customer, db.InvoiceHead, db.InvoiceItem, db.Payment, db.DepositPayment, refusal, fault))
    return;
  std::vector<const std::string*> texts = {&db.InvoiceHead.CustomerCode, &db.InvoiceHead.OnlineOrderId,
                                           &db.InvoiceHead.ReferenceNo};
  for (const TInvoiceItem& item : db.InvoiceItem) texts.push_back(&item.ProductCode);
  const std::string batch = CreditNoteBatchSql({db.InvoiceHead, db.InvoiceItem, db.Payment, db.DepositPayment},
                                               TCreditKind::Refund, Clock().NowLocal());
  fuzz::CheckBatch(batch, texts);

  // The whole import: a refund the import accepts must be booked on an open
  // invoice, be found booked (an earlier input had its id), or be refused as
  // data (more than the invoice has left of a line); a failed write would
  // come back on every pass.
  const std::string invoiceNo = FreshInvoice(db);
  const TWriteOutcome booked = ProcessOrderRefund(db, refund, invoiceNo);
  if (!booked.Written() && booked.Kind != TWriteKind::AlreadyWritten && booked.Kind != TWriteKind::DataError) {
    std::fprintf(stderr, "fuzz_refund: an accepted refund was not booked: %s\n", booked.Message.c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TDatabaseModule& db = fuzz::FuzzDatabase();
  const std::string body = fuzz::ShopListBody(data, size);
  fuzz::ForEachListedObject(body, "refunds", db, ParseOne);
  int orderId = 0;
  FreshInvoice(db, &orderId);
  const std::string order = "[" + OrderJson(orderId) + "]";
  const std::string refunds = "orders/" + std::to_string(orderId) + "/refunds";
  fuzz::RunOrderPass(db, [&](const std::string& resource) -> std::string {
    if (resource == "orders") return order;
    if (resource == refunds) return body;
    return "";
  });
  return 0;
}
