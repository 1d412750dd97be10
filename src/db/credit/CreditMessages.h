// The fixed messages of the credit-note import (cancellations and refunds),
// for the log; the outcome's kind (db/WriteOutcome.h) tells them apart.
#pragma once

#include <string>

namespace ooa {

inline const std::string kMsgInvoiceMissing = "This invoice dose not exsits.";
inline const std::string kMsgCreditedAlready = "This invoice credited already.";
// The credit note batch did not commit; the database's message may follow.
inline const std::string kMsgCreditNoteNotWritten =
    "The credit note was not written; the database rolled the batch back.";

}  // namespace ooa
