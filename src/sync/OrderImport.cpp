// ProcessOrder and ProcessOrderRefund: the shop's order or refund parsed into
// the module's order document under the module's lock, then handed to the
// module's write.
#include "sync/OrderImport.h"

#include <exception>
#include <mutex>
#include <optional>

#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "db/order/InvoiceWrite.h"
#include "db/WriteOutcome.h"
#include "db/credit/CreditNotes.h"
#include "model/OrderMessages.h"
#include "shop/woo/OrderParsing.h"
#include "shop/woo/RefundParsing.h"

namespace ooa {

namespace {

// Runs parse (one of the shop's parsing routines on db.Document); nothing
// when it succeeded, otherwise the DataError outcome: its message and the
// document's DataFault, or, for a value read without a guard, the order
// data message and the exception's text as the fault.
template <typename TParse>
std::optional<TWriteOutcome> ParseRefusal(TDatabaseModule& db, TParse parse) {
  TWriteOutcome out;
  out.Kind = TWriteKind::DataError;
  try {
    if (parse(out.Message)) return std::nullopt;
    out.Fault = db.DataFault;
  } catch (const std::exception& e) {
    // A value read without a guard: this document's data alone is at fault.
    out.Message = kMsgOrderDataError;
    db.DataFault = e.what();
    out.Fault = db.DataFault;
  }
  return out;
}

}  // namespace

TWriteOutcome ProcessOrder(TDatabaseModule& db, const rapidjson::Value& jsonData) {
  // The parsing, the calculation's reads and the batch form one unit of work;
  // no other pass's statements run in between.
  const std::unique_lock<std::recursive_mutex> hold = db.HoldForOneOrder();
  InitInvoice(db);
  const rapidjson::Value* loyalty = nullptr;
  if (std::optional<TWriteOutcome> refused = ParseRefusal(db, [&](std::string& msg) {
        return ParseOrderData(db.Document, ConfigSnapshot().WarehouseCode, jsonData, msg, loyalty);
      }))
    return *refused;
  return WriteParsedOrder(db);
}

bool ProcessOrder(TDatabaseModule& db, const rapidjson::Value& jsonData, std::string& invoiceNo, std::string& msg,
                  bool& modified) {
  const TWriteOutcome out = ProcessOrder(db, jsonData);
  if (out.Written()) modified = out.Modified;
  return OutcomeAsFlag(out, invoiceNo, msg);
}

TWriteOutcome ProcessOrderRefund(TDatabaseModule& db, const rapidjson::Value& jsonData,
                                 const std::string& invoiceNo) {
  // The checks, the parsing, the calculation's reads and the batch form one
  // unit of work.
  const std::unique_lock<std::recursive_mutex> hold = db.HoldForOneOrder();
  if (std::optional<TWriteOutcome> refusal = CreditRefusal(db, invoiceNo)) return *refusal;
  InitInvoice(db);
  const rapidjson::Value* loyalty = nullptr;
  if (std::optional<TWriteOutcome> refused = ParseRefusal(db, [&](std::string& msg) {
        return ParseOrderRefundData(db.Document, ConfigSnapshot().WarehouseCode, jsonData, invoiceNo, msg, loyalty);
      }))
    return *refused;
  return WriteParsedOrderRefund(db, invoiceNo);
}

bool ProcessOrderRefund(TDatabaseModule& db, const rapidjson::Value& jsonData, const std::string& invoiceNo,
                        std::string& creditNo, std::string& msg) {
  return OutcomeAsFlag(ProcessOrderRefund(db, jsonData, invoiceNo), creditNo, msg);
}

}  // namespace ooa
