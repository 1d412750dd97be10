// The receipt's reader: the record of one invoice of an online order (kind 6)
// and its credit notes, read from the POS database (model/Receipt.h). The
// receipt reads it in two steps, the head and then the rest, and starts its
// printer document in between (sync/ReceiptPrint.h); ReadReceipt does both.
// Each step runs its queries on the module's connection, in order, on the
// calling thread (the order worker); a database error is thrown (TDbError).
#pragma once

#include <optional>
#include <string>

#include "model/Receipt.h"

namespace ooa {

class TDatabaseModule;

// The head of invoiceNo with its customer's name and the sum of its
// "ROUNDING" payments; nullopt when there is no such invoice of an online
// order (or its customer is missing). One query.
std::optional<TReceiptHead> ReadReceiptHead(TDatabaseModule& db, const std::string& invoiceNo);

// The rest of the receipt of invoiceNo, whose head ReadReceiptHead gave: the
// credit notes' amounts added to the head, the lines (by description with
// consolidateItems, else in entry order), the company details of Profile and
// the payments. Four queries, in that order.
TReceipt ReadReceiptRest(TDatabaseModule& db, const std::string& invoiceNo, TReceiptHead head,
                         bool consolidateItems);

// Both steps; nullopt, after the one query, when there is no head.
std::optional<TReceipt> ReadReceipt(TDatabaseModule& db, const std::string& invoiceNo, bool consolidateItems);

}  // namespace ooa
