// The check the order and refund fuzz targets make on a batch built from shop
// data: the embedded engine must parse and compile it against the POS tables
// (PosDatabase.h), and every given text must arrive as one whole string literal of the batch
// (so no shop text ever becomes part of a statement). A batch that fails is
// printed and the process aborts, so that libFuzzer keeps the input.
#pragma once

#include <string>
#include <vector>

namespace ooa::fuzz {

void CheckBatch(const std::string& batch, const std::vector<const std::string*>& texts);

}  // namespace ooa::fuzz
