// The order document: one customer, invoice head, list of lines, payment and
// deposit payment, owned by TDatabaseModule and reset before every operation of
// the order import. Plain field containers named after the POS columns.
#pragma once

#include <string>
#include <vector>

#include "config/DateTime.h"

namespace ooa {

struct TCustomer {};
struct TInvoiceHead {};
struct TInvoiceItem {};
struct TPayment {};

}  // namespace ooa
