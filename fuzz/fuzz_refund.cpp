// Fuzz target: the credit-note import's parsing of shop refunds. The input is
// a shop answer body (one refund object or a list of them), read the way the
// shop channel reads it. Each refund goes through the database module as
// ProcessOrderRefund takes it, up to the batch, as a credit note of invoice
// "INV26000001": ParseOrderRefundData, CalcInvoice on the fuzz POS database,
// the checks of its figures and texts. Bad data must end in a parsing message or
// TOrderDataError. A refund that is accepted must give a credit note batch
// that passes CheckBatch (BatchCheck.h).
#include <rapidjson/document.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BatchCheck.h"
#include "PosDatabase.h"
#include "config/Clock.h"
#include "db/DatabaseModule.h"
#include "db/credit/CreditStatements.h"
#include "db/order/OrderFigures.h"
#include "db/order/OrderTextWidths.h"
#include "db/order/OrderMessages.h"

namespace {

using namespace ooa;

void ParseOne(TDatabaseModule& db, const rapidjson::Value& refund) {
  db.InitInvoice();
  const rapidjson::Value* loyalty = nullptr;
  std::string msg;
  bool ok = false;
  try {
    ok = db.ParseOrderRefundData(refund, "INV26000001", msg, loyalty);
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
  db.CalcInvoice();
  if (!OrderFiguresFinite(db.InvoiceHead, db.InvoiceItem, db.Payment, db.DepositPayment)) return;
  if (FindTooLongText(db.Customer, db.InvoiceHead, db.InvoiceItem, db.Payment)) return;
  std::vector<const std::string*> texts = {&db.InvoiceHead.CustomerCode, &db.InvoiceHead.OnlineOrderId,
                                           &db.InvoiceHead.ReferenceNo};
  for (const TInvoiceItem& item : db.InvoiceItem) texts.push_back(&item.ProductCode);
  const std::string batch = CreditNoteBatchSql({db.InvoiceHead, db.InvoiceItem, db.Payment, db.DepositPayment},
                                               TCreditKind::Refund, Clock().NowLocal());
  fuzz::CheckBatch(batch, texts);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TDatabaseModule& db = *[] {
    auto* module = new TDatabaseModule;
    fuzz::ConnectToPosDatabase(*module);
    return module;
  }();
  rapidjson::Document doc;
  doc.Parse<rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseIterativeFlag>(
      reinterpret_cast<const char*>(data), size);
  if (doc.HasParseError()) return 0;
  if (doc.IsArray()) {
    for (const auto& refund : doc.GetArray())
      if (refund.IsObject()) ParseOne(db, refund);
  } else if (doc.IsObject()) {
    ParseOne(db, doc);
  }
  return 0;
}
