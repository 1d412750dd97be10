// The invoice write: the order document's reset, its calculation, the
// statements of its write batch and the write itself, each on db's order
// document (TDatabaseModule::Document). Called on the order worker thread by
// the order import (sync/OrderImport.h), which holds the module's lock
// (HoldForOneOrder) from the reset to the write; CheckInvoiceExists also by
// the order pass, under its own hold of the lock.
#pragma once

#include <string>

#include "db/WriteOutcome.h"
#include "model/OrderDocument.h"

namespace ooa {

class TDatabaseModule;

// The order document's reset (before every order, refund or cancellation)
// and the initial values of a new line.
void InitInvoice(TDatabaseModule& db);
void InitInvoiceItem(TDatabaseModule& db, TInvoiceItem& item);
// Completes the parsed document from Profile and Product (rates, stock units,
// cost, shelf price) and totals the head. Throws TDbError on database errors.
bool CalcInvoice(TDatabaseModule& db);
// True and the number when an InvoiceHead row carries orderId (an order or a
// refund id) in OnlineOrderId; false leaves invoiceNo unchanged.
bool CheckInvoiceExists(TDatabaseModule& db, const std::string& orderId, std::string& invoiceNo);
// Statements of the invoice write batch for the current document.
std::string GenerateInvoiceHeadSQLCmd(TDatabaseModule& db);
std::string GenerateCustomerSQLCmd(TDatabaseModule& db);
std::string GenerateInvoiceItemSQLCmd(TDatabaseModule& db);
std::string GeneratePaymentSQLCmd(TDatabaseModule& db);
std::string GenerateDepositPaymentSQLCmd(TDatabaseModule& db);
// The whole invoice write batch for the current (parsed, calculated) document.
std::string GenerateInvoiceBatch(TDatabaseModule& db);
// Writes the order parsed into db.Document (the order import, sync/
// OrderImport.h, parses it under HoldForOneOrder) as an invoice in one
// transaction: calculates it (CalcInvoice), refuses figures or texts the
// POS cannot hold, then sends the batch. Written only when the batch
// committed: message "Success", Number the invoice, Modified set.
// DataError with the message and Fault for a document the POS cannot hold,
// no batch sent; AlreadyWritten with the invoice that is there; NotWritten
// with a write message when the batch rolled back. Database errors before
// the batch are thrown.
TWriteOutcome WriteParsedOrder(TDatabaseModule& db);

}  // namespace ooa
