// Texts on the receipt stay text. Every ESC/POS command starts with a control
// byte (ESC, GS, FS, DLE, ...), so a control byte inside a text from the shop
// or the POS (a customer's address, a product's description or barcode) would
// reach the printer as a command: ESC p or DLE DC4 open the till's cash
// drawer, GS V cuts the paper, a NUL ends a barcode early and lets what
// follows run as commands. The text routines (PrintLine, PrintBarcode) pass
// their text through here; commands have routines of their own. Any thread.
#pragma once

#include <string>

namespace ooa {

// `text` with each byte below 0x20 and DEL (0x7F) replaced by a space. Bytes
// of 0x80 and above are characters of the receipt's code page and stay.
std::string PrinterTextOnly(std::string text);

}  // namespace ooa
