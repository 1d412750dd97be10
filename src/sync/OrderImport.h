// The import of one shop order as an invoice, or one shop refund as a credit
// note: the shop's JSON parsed into the database module's order document
// (shop/woo), then calculated and written by the module (db/). Called by the
// order pass on the order worker thread (tests, benchmarks and fuzzers call
// it on theirs); each call holds the module's lock from the reset of the
// document to the end of the write (TDatabaseModule::HoldForOneOrder), so no
// other pass's statements run in between. No state of its own; the outcome
// belongs to the caller.
#pragma once

#include <string>

#include <rapidjson/document.h>

#include "db/WriteOutcome.h"

namespace ooa {

class TDatabaseModule;

// Imports one shop order as an invoice in one transaction. Written only when
// the batch committed: message "Success", Number the invoice, Modified set.
// DataError with the parsing message (and Fault) for bad data, nothing sent
// to the database; otherwise the outcome of WriteParsedOrder
// (db/order/InvoiceWrite.h: AlreadyWritten, NotWritten, DataError for a
// document the POS cannot hold). Database errors are thrown.
TWriteOutcome ProcessOrder(TDatabaseModule& db, const rapidjson::Value& jsonData);
// The same as a flag: true when written; msg the outcome's message;
// invoiceNo set when written or found written; modified set when written.
bool ProcessOrder(TDatabaseModule& db, const rapidjson::Value& jsonData, std::string& invoiceNo, std::string& msg,
                  bool& modified);

// Books one shop refund of invoiceNo as a credit note. First the refusal of
// CreditRefusal (db/credit/CreditNotes.h: InvoiceMissing, AlreadyCredited),
// before the refund is read; then DataError with the parsing message and
// Fault for bad data; otherwise the outcome of WriteParsedOrderRefund.
// Database errors are thrown.
TWriteOutcome ProcessOrderRefund(TDatabaseModule& db, const rapidjson::Value& jsonData, const std::string& invoiceNo);
// The same as a flag: true when written; msg the outcome's message; creditNo
// set when written or found written.
bool ProcessOrderRefund(TDatabaseModule& db, const rapidjson::Value& jsonData, const std::string& invoiceNo,
                        std::string& creditNo, std::string& msg);

}  // namespace ooa
