// Whether the texts of an order or credit note document fit the POS columns
// they are written to. A text the shop sends longer than its column (a long
// SKU, address or payment method) would fail the write with "String or binary
// data would be truncated" on every pass and hold the order pass back; the
// import checks the finished document before it builds any statement and
// refuses such an order as bad order data, the way it refuses a customer code
// that is too long. Widths count characters, trailing blanks aside, as the
// database does. Pure; any thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/OrderDocument.h"

namespace ooa {

struct TTooLongText {
  std::string Field;    // "SKU", "billing address", ...
  int Width = 0;        // characters the column holds
  std::string Message;  // the parsing message (model/OrderMessages.h) of its part
};

std::optional<TTooLongText> FindTooLongText(const TCustomer& customer, const TInvoiceHead& head,
                                            const std::vector<TInvoiceItem>& items, const TPayment& payment);

// Why a document was refused, for the log and the problems list.
std::string TooLongTextLine(const TTooLongText& text);

}  // namespace ooa
