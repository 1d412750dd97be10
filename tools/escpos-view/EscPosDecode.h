// Decoder of the ESC/POS byte stream a receipt printer receives: turns a raw
// job (for example a job file of printer-standin) into the list of what the
// printer would do - text lines with their character size and justification,
// size changes, logo, barcodes, feeds and cuts - and renders it as text
// (40 columns in the normal size, 20 in double width and large) or as a PNG
// picture of the paper. Tests use it to assert on receipts; escpos-view shows
// one to a person.
//
// Pure functions over values; any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ooa::escpos {

enum class TAlign { Left = 0, Centre = 1, Right = 2 };

struct TSize {
  int Width = 1;   // character width multiple
  int Height = 1;  // character height multiple
  bool operator==(const TSize&) const = default;
  // "normal", "double width", "large" (2 x 2), otherwise "WxH".
  std::string Name() const;
};

struct TItem {
  enum class TKind {
    Init,      // ESC @
    Text,      // one printed line (ended by LF; a CR before it is dropped)
    Size,      // the character size in force changed (Size holds the new one)
    Justify,   // ESC a
    Logo,      // FS p: Number = image number
    Barcode,   // GS k: Text = data, Symbology, Height, ModuleWidth, Align
    Feed,      // ESC d: Number = lines
    Cut,       // GS V: Number = 0 full, 1 partial
    FormFeed,  // FF
    Unknown    // bytes the decoder does not know (Text holds them)
  };
  TKind Kind = TKind::Text;
  std::string Text;
  TSize Size;
  TAlign Align = TAlign::Left;
  bool Bold = false;
  std::string Symbology;  // "CODE39", "CODE93", ...
  int Number = 0;
  int Height = 0;       // barcode height in dots
  int ModuleWidth = 0;  // barcode module width in dots
  int HriPosition = 0;  // 0 none, 1 above, 2 below, 3 both
};

struct TReceipt {
  std::vector<TItem> Items;
  // The texts of the Text items, in order.
  std::vector<std::string> Lines() const;
  // The items of one kind, in order.
  std::vector<TItem> OfKind(TItem::TKind kind) const;
  // The Text items printed while the given size was in force.
  std::vector<std::string> LinesOfSize(const TSize& size) const;
};

TReceipt Decode(std::string_view bytes);

// Columns of a line in a size: 40 / width.
int ColumnsFor(const TSize& size);

// The receipt as a person would read it: every line wrapped at its column
// count and justified; marks in brackets for size changes, logo, barcodes,
// feed and cut. 8-bit text is converted from the code page (iconv name): a
// single-byte one such as CP1252, or a double-byte one (GBK, BIG5,
// SHIFT_JIS), whose characters take two columns and are never split.
std::string RenderText(const TReceipt& receipt, const std::string& codePage = "CP1252");

// A picture of the paper (8-bit greyscale PNG, 12 x 24 dot characters), the
// 8-bit text read in the code page and drawn through the system's fonts.
// False with the reason in error when the file cannot be written.
bool WritePng(const TReceipt& receipt, const std::string& path, std::string& error,
              const std::string& codePage = "CP1252");

}  // namespace ooa::escpos
