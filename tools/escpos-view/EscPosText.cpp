// Text rendering of a decoded receipt.
#include <sstream>

#include "escpos-view/CodePageText.h"
#include "escpos-view/EscPosDecode.h"

namespace ooa::escpos {

namespace {

// 8-bit text to UTF-8, character by character (double-byte ones whole).
class TConverter {
 public:
  explicit TConverter(const std::string& codePage) : CodePage(codePage) {}
  std::string operator()(const std::string& in) const {
    std::string out;
    for (const TChar& c : SplitChars(in, CodePage)) out += c.Utf8;
    return out;
  }
  const std::string CodePage;
};

const char* AlignName(TAlign a) {
  switch (a) {
    case TAlign::Centre: return "centre";
    case TAlign::Right: return "right";
    default: return "left";
  }
}

// Column positions count bytes of the 8-bit text, as the printer does; a
// double-byte character is never split between two lines.
void PutLine(std::ostringstream& out, const TItem& item, const TConverter& toUtf8) {
  const int width = ColumnsFor(item.Size);
  for (const std::vector<TChar>& line : WrapChars(SplitChars(item.Text, toUtf8.CodePage), width)) {
    int used = 0;
    std::string text;
    for (const TChar& c : line) {
      used += c.Columns;
      text += c.Utf8;
    }
    int pad = 0;
    if (item.Align == TAlign::Centre) pad = (width - used) / 2;
    if (item.Align == TAlign::Right) pad = width - used;
    out << std::string(static_cast<size_t>(pad > 0 ? pad : 0), ' ') << text << "\n";
  }
}

}  // namespace

std::string RenderText(const TReceipt& receipt, const std::string& codePage) {
  const TConverter toUtf8(codePage);
  std::ostringstream out;
  for (const TItem& i : receipt.Items) {
    switch (i.Kind) {
      case TItem::TKind::Text:
        PutLine(out, i, toUtf8);
        break;
      case TItem::TKind::Size:
        out << "[" << i.Size.Name() << "]\n";
        break;
      case TItem::TKind::Logo:
        out << "[logo " << i.Number << "]\n";
        break;
      case TItem::TKind::Barcode:
        out << "[barcode " << i.Symbology << " \"" << toUtf8(i.Text) << "\" " << AlignName(i.Align) << "]\n";
        break;
      case TItem::TKind::Feed:
        out << "[feed " << i.Number << "]\n";
        break;
      case TItem::TKind::Cut:
        out << (i.Number == 1 ? "[partial cut]\n" : "[cut]\n");
        break;
      case TItem::TKind::Unknown: {
        out << "[unknown";
        static const char* hex = "0123456789ABCDEF";
        for (unsigned char c : i.Text) out << ' ' << hex[c >> 4] << hex[c & 15];
        out << "]\n";
        break;
      }
      case TItem::TKind::Init:
      case TItem::TKind::Justify:
      case TItem::TKind::FormFeed:
        break;
    }
  }
  return out.str();
}

}  // namespace ooa::escpos
