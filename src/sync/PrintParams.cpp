// ReadPrintParams (see PrintParams.h).
#include "sync/PrintParams.h"

#include "db/receipt/ReceiptSettingsRow.h"
#include "print/ReceiptSettings.h"

namespace ooa {

bool ReadPrintParams(TDatabaseModule& db) {
  TReceiptSettings s = ReceiptSettings();
  try {
    if (!ReadReceiptSettings(db, s)) s = TReceiptSettings{};  // no row: every option off
  } catch (...) {
    SetReceiptSettings(s);  // what was read before a missing column
    throw;
  }
  SetReceiptSettings(s);
  return true;
}

}  // namespace ooa
