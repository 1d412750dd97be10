// ReceiptSettings: the process-wide receipt options (model/ReceiptSettings.h)
// the receipt prints with, copied from the POS table Profile when the service
// connects to the database (ReadPrintParams, sync/PrintParams.h). All fields
// are false / 0 until then.
//
// The UI thread (service start) replaces the record; the order worker reads
// it while printing. Both go through the two functions below, which copy the
// whole record under a lock, so a receipt always sees one consistent set of
// options.
#pragma once

#include "model/ReceiptSettings.h"

namespace ooa {

// A copy of the process-wide record (any thread).
TReceiptSettings ReceiptSettings();
// Replaces the process-wide record (service start, or a test).
void SetReceiptSettings(const TReceiptSettings& settings);

}  // namespace ooa
