// ReadReceiptSettings: the receipt options of the POS profile (the first row
// of the POS table Profile) into a settings record. Called at service start
// on the UI thread (ReadPrintParams, sync/PrintParams.h).
#pragma once

#include "model/ReceiptSettings.h"

namespace ooa {

class TDatabaseModule;

// Runs "Select * From Profile" and reads the options of its first row into
// `into`, in the profile's column order; false, leaving `into` alone, when
// Profile has no row. A database error is thrown (TDbError) and leaves `into`
// alone; so does a missing column, naming it, after the options before it
// were read (the rest stay as they were).
bool ReadReceiptSettings(TDatabaseModule& db, TReceiptSettings& into);

}  // namespace ooa
