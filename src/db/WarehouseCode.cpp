#include "db/WarehouseCode.h"

#include <cstdio>

namespace ooa {

namespace {

bool IsAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Control characters as \xNN, so a code with a line break stays one log line;
// other bytes as they are. At most 64 bytes of the code are shown.
std::string Printable(const std::string& code) {
  std::string out;
  for (size_t i = 0; i < code.size() && i < 64; ++i) {
    const unsigned char c = static_cast<unsigned char>(code[i]);
    if (c < 0x20 || c == 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  if (code.size() > 64) out += "...";
  return out;
}

}  // namespace

bool IsSafeWarehouseCode(const std::string& code) {
  for (unsigned char c : code)
    if (!IsAsciiAlnum(c) && c != '_') return false;
  return true;
}

std::string WarehouseCodeRefusal(const std::string& code) {
  return "Warehouse code '" + Printable(code) +
         "' refused: only letters, digits and _ can name a stock column. Nothing was written.";
}

}  // namespace ooa
