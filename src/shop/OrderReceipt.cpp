#include "shop/OrderReceipt.h"

namespace ooa {

void PrintOrderReceipt(TDatabaseModule& db, const std::string& invoiceNo, bool signature, bool modified) {}

}  // namespace ooa
