// Whether the figures of an order or credit note document can be written.
// The POS keeps amounts and quantities in float columns, which hold no
// infinity and no NaN. Shop figures that are each in range can still overflow
// once divided, multiplied or totalled (a subtotal near the largest number
// plus its tax, a quantity of 1e-300, freight whose GST share overflows), and
// such a document would fail in the database on every pass. The import checks
// the finished document before it builds any statement and refuses it as bad
// order data. Pure; any thread.
#pragma once

#include <string>
#include <vector>

#include "model/OrderDocument.h"

namespace ooa {

bool OrderFiguresFinite(const TInvoiceHead& head, const std::vector<TInvoiceItem>& items, const TPayment& payment,
                        const TPayment& depositPayment);

// The activity log's detail line for a refused document.
inline constexpr const char* kOrderFiguresOutOfRange = "An amount or quantity of the order is out of range.";

// The checks a parsed and calculated invoice or credit note passes before its
// batch is sent: every figure in range (OrderFiguresFinite) and every text
// within its POS column (db/order/OrderTextWidths.h). Otherwise false with
// the parsing message in msg and the fault named in fault.
bool DocumentFitsPos(const TCustomer& customer, const TInvoiceHead& head, const std::vector<TInvoiceItem>& items,
                     const TPayment& payment, const TPayment& depositPayment, std::string& msg,
                     std::string& fault);

}  // namespace ooa
