// The fixed messages of the credit-note import (cancellations and refunds).
// The pass compares against them to tell a done credit from a failed one.
#pragma once

#include <string>

namespace ooa {

inline const std::string kMsgInvoiceMissing = "This invoice dose not exsits.";
inline const std::string kMsgCreditedAlready = "This invoice credited already.";
// The credit note batch did not commit; the database's message may follow.
inline const std::string kMsgCreditNoteNotWritten =
    "The credit note was not written; the database rolled the batch back.";

// A credited line's warehouse code that cannot name a stock column.
inline std::string UnsafeWarehouseMessage(const std::string& code) {
  return "The warehouse code '" + code + "' of the credited lines cannot name a stock column; no credit note written.";
}

}  // namespace ooa
