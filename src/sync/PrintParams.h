// ReadPrintParams: copies the receipt options of the POS profile into the
// process-wide ReceiptSettings (print/ReceiptSettings.h) that the receipt
// prints with. Called by the service start after a new connection, on the
// UI thread.
#pragma once

namespace ooa {

class TDatabaseModule;

// Reads the options of the first Profile row (db/receipt/ReceiptSettingsRow.h);
// no row reads as every option off. True when the query ran; a database
// error (also a missing column) is thrown, the options read before a missing
// column already in the process-wide record, the rest as they were.
bool ReadPrintParams(TDatabaseModule& db);

}  // namespace ooa
