// The order pass's receipt hook: prints the receipt of an invoice after the
// pass wrote it, or wrote a credit note against it. Called on the order worker
// thread. The receipt printing fills it in; until then it prints nothing, as
// when the configured printer is "N/A".
#pragma once

#include <string>

namespace ooa {

class TDatabaseModule;

void PrintOrderReceipt(TDatabaseModule& db, const std::string& invoiceNo, bool signature, bool modified);

}  // namespace ooa
