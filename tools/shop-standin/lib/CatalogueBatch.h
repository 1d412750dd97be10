// The batch driver shared by the catalogue endpoints: parses the body, enforces the
// item limit and pairs each entry with its result. Used under the store's mutex.
#pragma once

#include <functional>
#include <string>

#include "ShopRequest.h"
#include "StandinJson.h"

namespace ooa::standin {

struct TBatchOps {
  // Each returns the whole stored object, or an item error from ItemError.
  std::function<TValue(const TValue& item, TAlloc& alloc)> Create;
  std::function<TValue(const TValue& item, TAlloc& alloc)> Update;
  std::function<TValue(int64_t id, TAlloc& alloc)> Delete;
};

TShopResponse RunBatch(const std::string& body, const TBatchOps& ops);

// {"id": id, "error": {"code", "message", "data": {"status"}}}; data null when status is 0.
TValue ItemError(TValue id, const std::string& code, const std::string& message, int status,
                 TAlloc& alloc);
// The same with extra members in "data" (resource_id, unique_sku).
TValue ItemErrorWithData(TValue id, const std::string& code, const std::string& message,
                         TValue data, TAlloc& alloc);

// A stored category or product (or variation) as the shop answers it: the
// stored object with its names in the shop's form (ShopNames.h): the
// category's "name"; the product's "name" and the names of its "categories";
// a "regular_price" sent as a bare number as its DecimalText.
TValue CategoryAnswer(const TValue& row, TAlloc& alloc);
TValue ProductAnswer(const TValue& row, TAlloc& alloc);

// A number as the shop writes a decimal it was sent as a JSON number: the
// shortest text, without trailing zeros (5 -> "5", 3.30 -> "3.3").
std::string DecimalText(double value);

// A URL slug: lower-case letters and digits, other runs as "-".
std::string Slugify(const std::string& text);

}  // namespace ooa::standin
