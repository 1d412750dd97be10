// Unguarded: how the order and refund parsing read the values they take
// without a guard ("meta_data", "line_items", "total", the loyalty entry's
// "value" or "depositPayment"): a failure is not the document's data fault
// but ends the running pass as TOrderDataError. Any thread; no state.
#pragma once

#include <exception>
#include <string>

#include "model/OrderMessages.h"

namespace ooa {

// Runs read and gives back its value; anything it throws leaves as
// TOrderDataError "<what> data cannot be read: <reason>" (what: "Order",
// "Refund").
template <typename F>
auto Unguarded(const char* what, F&& read) -> decltype(read()) {
  try {
    return read();
  } catch (const std::exception& e) {
    throw TOrderDataError(std::string(what) + " data cannot be read: " + e.what());
  }
}

}  // namespace ooa
