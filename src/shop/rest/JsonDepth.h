// How deeply a shop answer nests its arrays and objects, told from its text
// before it is parsed. An answer nested deeper than kMaxShopJsonDepth is
// refused: nothing in the service needs more than a few levels, and a
// document tens of thousands of levels deep would take the stack of any code
// that walks it recursively (copying, writing, comparing). Plain functions;
// any thread.
#pragma once

#include <cstddef>

namespace ooa {

inline constexpr size_t kMaxShopJsonDepth = 512;

// The deepest nesting of '[' and '{' outside strings in text, counted up to
// limit + 1 (the scan stops there). Text that is not JSON gives some number;
// the parser refuses it afterwards.
size_t JsonNestingDepth(const char* text, size_t size, size_t limit = kMaxShopJsonDepth);

}  // namespace ooa
