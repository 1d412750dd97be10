#include "print/PrinterTextOnly.h"

namespace ooa {

std::string PrinterTextOnly(std::string text) {
  for (char& c : text) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) c = ' ';
  }
  return text;
}

}  // namespace ooa
