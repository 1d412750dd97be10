// Text rendering of a decoded receipt.
#include <iconv.h>

#include <sstream>

#include "escpos-view/EscPosDecode.h"

namespace ooa::escpos {

namespace {

// 8-bit text to UTF-8 through iconv; bytes it cannot convert become '?'.
class TConverter {
 public:
  explicit TConverter(const std::string& codePage) : Cd(iconv_open("UTF-8", codePage.c_str())) {}
  ~TConverter() {
    if (Cd != reinterpret_cast<iconv_t>(-1)) iconv_close(Cd);
  }
  std::string operator()(const std::string& in) const {
    if (Cd == reinterpret_cast<iconv_t>(-1)) return in;
    std::string out;
    for (char c : in) {
      if (static_cast<unsigned char>(c) < 0x80) {
        out += c;
        continue;
      }
      char src[1] = {c};
      char dst[8];
      char* s = src;
      char* d = dst;
      size_t sl = 1, dl = sizeof dst;
      iconv(Cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(Cd, &s, &sl, &d, &dl) == static_cast<size_t>(-1))
        out += '?';
      else
        out.append(dst, static_cast<size_t>(d - dst));
    }
    return out;
  }

 private:
  iconv_t Cd;
};

const char* AlignName(TAlign a) {
  switch (a) {
    case TAlign::Centre: return "centre";
    case TAlign::Right: return "right";
    default: return "left";
  }
}

// Column positions count bytes of the 8-bit text, as the printer does.
void PutLine(std::ostringstream& out, const TItem& item, const TConverter& toUtf8) {
  const size_t width = static_cast<size_t>(ColumnsFor(item.Size));
  const std::string& text = item.Text;
  size_t pos = 0;
  do {
    std::string piece = text.substr(pos, width);
    pos += width;
    size_t pad = 0;
    if (item.Align == TAlign::Centre) pad = (width - piece.size()) / 2;
    if (item.Align == TAlign::Right) pad = width - piece.size();
    out << std::string(pad, ' ') << toUtf8(piece) << "\n";
  } while (pos < text.size());
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
