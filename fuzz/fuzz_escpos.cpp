// Fuzz target: the ESC/POS decoder and its text rendering, as escpos-view and
// the receipt tests use them on a printer job. Any byte stream must decode;
// truncated commands become Unknown items.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "escpos-view/EscPosDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ooa::escpos::TReceipt receipt = ooa::escpos::Decode(bytes);
  ooa::escpos::RenderText(receipt);
  return 0;
}
