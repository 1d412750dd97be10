// Counting the characters of UTF-8 text as SQL Server and the POS count them:
// one per code point, that is every byte that does not continue a sequence.
// Bytes that are not valid UTF-8 count as the lead bytes they look like (a
// stray continuation byte counts nothing). Pure; any thread.
#pragma once

#include <cstddef>
#include <string_view>

namespace ooa {

inline std::size_t Utf8CharCount(std::string_view text) {
  std::size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

}  // namespace ooa
