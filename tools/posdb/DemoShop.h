// The demo shop that `posdb init --demo` writes: a small grocery and liquor
// store with category groups, categories and products in English with
// Simplified and Traditional Chinese translations, simple and variable
// products with price levels, barcodes and stock, customers, payment methods
// and the profile's receipt options. Used by the posdb tool only.
#pragma once

#include <string>
#include <vector>

#include "config/DateTime.h"

namespace ooa {

// One T-SQL batch of inserts (and the profile update) for a freshly created
// schema with stock columns for the given warehouses; the first warehouse
// holds the main stock, the others a smaller one. Change times are `now`, and
// nothing is marked as synced, so every catalogue upload has something to send.
std::string DemoShopBatch(const std::vector<std::string>& warehouses, TDateTime now);

}  // namespace ooa
