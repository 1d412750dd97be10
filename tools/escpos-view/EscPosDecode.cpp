// The decoder: a small state machine over the byte stream, tracking the
// character size, emphasis, justification and barcode settings the way the
// printer does.
#include "escpos-view/EscPosDecode.h"

#include <cstdint>

namespace ooa::escpos {

std::string TSize::Name() const {
  if (Width == 1 && Height == 1) return "normal";
  if (Width == 2 && Height == 1) return "double width";
  if (Width == 2 && Height == 2) return "large";
  return std::to_string(Width) + "x" + std::to_string(Height);
}

std::vector<std::string> TReceipt::Lines() const {
  std::vector<std::string> lines;
  for (const TItem& i : Items)
    if (i.Kind == TItem::TKind::Text) lines.push_back(i.Text);
  return lines;
}

std::vector<TItem> TReceipt::OfKind(TItem::TKind kind) const {
  std::vector<TItem> items;
  for (const TItem& i : Items)
    if (i.Kind == kind) items.push_back(i);
  return items;
}

std::vector<std::string> TReceipt::LinesOfSize(const TSize& size) const {
  std::vector<std::string> lines;
  for (const TItem& i : Items)
    if (i.Kind == TItem::TKind::Text && i.Size == size) lines.push_back(i.Text);
  return lines;
}

int ColumnsFor(const TSize& size) { return 40 / (size.Width < 1 ? 1 : size.Width); }

namespace {

const char* SymbologyOf(int m) {
  switch (m) {
    case 0: case 65: return "UPC-A";
    case 1: case 66: return "UPC-E";
    case 2: case 67: return "EAN13";
    case 3: case 68: return "EAN8";
    case 4: case 69: return "CODE39";
    case 5: case 70: return "ITF";
    case 6: case 71: return "CODABAR";
    case 72: return "CODE93";
    case 73: return "CODE128";
    default: return "UNKNOWN";
  }
}

class TDecoder {
 public:
  explicit TDecoder(std::string_view bytes) : B(bytes) {}

  TReceipt Run() {
    while (P < B.size()) Step();
    FlushText(false);
    return std::move(R);
  }

 private:
  uint8_t At(size_t i) const { return static_cast<uint8_t>(B[i]); }
  bool Has(size_t n) const { return P + n <= B.size(); }

  TItem Make(TItem::TKind kind) const {
    TItem i;
    i.Kind = kind;
    i.Size = Size;
    i.Align = Align;
    i.Bold = Bold;
    return i;
  }

  // A pending text ends as a line (at LF, or when the printer must print its
  // buffer first: barcode, logo, feed, cut, end of data).
  void FlushText(bool atLineFeed) {
    if (!atLineFeed && Pending.empty()) return;
    TItem i = Make(TItem::TKind::Text);
    i.Text = std::move(Pending);
    Pending.clear();
    R.Items.push_back(std::move(i));
  }

  void SetSize(TSize s) {
    if (s == Size) return;
    Size = s;
    R.Items.push_back(Make(TItem::TKind::Size));
  }

  void Unknown(size_t n) {
    n = std::min(n, B.size() - P);
    TItem i = Make(TItem::TKind::Unknown);
    i.Text = std::string(B.substr(P, n));
    R.Items.push_back(std::move(i));
    P += n;
  }

  // Command with fixed parameters: returns false (and records the rest as
  // unknown) when the stream ends inside it.
  bool Need(size_t n) {
    if (Has(n)) return true;
    Unknown(B.size() - P);
    return false;
  }

  void Step() {
    const uint8_t c = At(P);
    switch (c) {
      case 0x0A:
        FlushText(true);
        ++P;
        return;
      case 0x0D:
      case 0x00:  // NUL is no command: the printer skips it
        ++P;
        return;
      case 0x0C:
        FlushText(false);
        R.Items.push_back(Make(TItem::TKind::FormFeed));
        ++P;
        return;
      case 0x1B:
        Esc();
        return;
      case 0x1D:
        Gs();
        return;
      case 0x1C:
        Fs();
        return;
      default:
        if (c < 0x20 && c != 0x09) {
          Unknown(1);
          return;
        }
        Pending += static_cast<char>(c);
        ++P;
    }
  }

  void Esc() {
    if (!Need(2)) return;
    const uint8_t cmd = At(P + 1);
    switch (cmd) {
      case '@':
        FlushText(false);
        R.Items.push_back(Make(TItem::TKind::Init));
        Bold = false;
        Align = TAlign::Left;
        SetSize({1, 1});
        P += 2;
        return;
      case '!': {
        if (!Need(3)) return;
        const uint8_t n = At(P + 2);
        Bold = (n & 0x08) != 0;
        SetSize({(n & 0x20) ? 2 : 1, (n & 0x10) ? 2 : 1});
        P += 3;
        return;
      }
      case 'a': {
        if (!Need(3)) return;
        const uint8_t n = At(P + 2);
        Align = static_cast<TAlign>((n % 48) <= 2 ? n % 48 : 0);
        R.Items.push_back(Make(TItem::TKind::Justify));
        P += 3;
        return;
      }
      case 'd': {
        if (!Need(3)) return;
        FlushText(false);
        TItem i = Make(TItem::TKind::Feed);
        i.Number = At(P + 2);
        R.Items.push_back(i);
        P += 3;
        return;
      }
      case 'E':
        if (!Need(3)) return;
        Bold = (At(P + 2) & 1) != 0;
        P += 3;
        return;
      case '-': case 'M': case 't': case '3': case 'R': case 'G': case 'J': case 'V': case '{':
        // underline, font, code table, line spacing, character set, double strike,
        // feed dots, rotation, upside-down: one parameter, no effect on our view
        if (!Need(3)) return;
        P += 3;
        return;
      case '2':
        P += 2;
        return;
      case 'p':  // cash drawer pulse: m t1 t2
        if (!Need(5)) return;
        P += 5;
        return;
      default:
        Unknown(2);
    }
  }

  void Gs() {
    if (!Need(2)) return;
    const uint8_t cmd = At(P + 1);
    switch (cmd) {
      case '!': {
        if (!Need(3)) return;
        const uint8_t n = At(P + 2);
        SetSize({(n >> 4) + 1, (n & 0x0F) + 1});
        P += 3;
        return;
      }
      case 'B': case 'f': case 'b':
        if (!Need(3)) return;
        P += 3;
        return;
      case 'h':
        if (!Need(3)) return;
        BarHeight = At(P + 2);
        P += 3;
        return;
      case 'w':
        if (!Need(3)) return;
        ModuleWidth = At(P + 2);
        P += 3;
        return;
      case 'H':
        if (!Need(3)) return;
        Hri = At(P + 2) % 48;
        P += 3;
        return;
      case 'V': {
        if (!Need(3)) return;
        FlushText(false);
        const uint8_t m = At(P + 2);
        TItem i = Make(TItem::TKind::Cut);
        i.Number = (m == 1 || m == 49 || m == 66) ? 1 : 0;
        size_t len = 3;
        if (m == 65 || m == 66) {  // cut after feeding n dots
          if (!Need(4)) return;
          len = 4;
        }
        R.Items.push_back(i);
        P += len;
        return;
      }
      case 'k':
        Barcode();
        return;
      default:
        Unknown(2);
    }
  }

  void Barcode() {
    if (!Need(3)) return;
    FlushText(false);
    const uint8_t m = At(P + 2);
    TItem i = Make(TItem::TKind::Barcode);
    i.Symbology = SymbologyOf(m);
    i.Height = BarHeight;
    i.ModuleWidth = ModuleWidth;
    i.HriPosition = Hri;
    if (m <= 6) {
      // data ended by NUL
      const size_t start = P + 3;
      const size_t end = B.find('\0', start);
      if (end == std::string_view::npos) {
        Unknown(B.size() - P);
        return;
      }
      i.Text = std::string(B.substr(start, end - start));
      P = end + 1;
    } else {
      if (!Need(4)) return;
      const size_t n = At(P + 3);
      if (!Need(4 + n)) return;
      i.Text = std::string(B.substr(P + 4, n));
      P += 4 + n;
    }
    R.Items.push_back(std::move(i));
  }

  void Fs() {
    if (!Need(2)) return;
    if (At(P + 1) == 'p') {
      if (!Need(4)) return;
      FlushText(false);
      TItem i = Make(TItem::TKind::Logo);
      i.Number = At(P + 2);
      R.Items.push_back(i);
      P += 4;
      return;
    }
    if (At(P + 1) == '.' || At(P + 1) == '&') {  // Kanji mode off / on
      P += 2;
      return;
    }
    Unknown(2);
  }

  std::string_view B;
  size_t P = 0;
  TReceipt R;
  std::string Pending;
  TSize Size;
  TAlign Align = TAlign::Left;
  bool Bold = false;
  int BarHeight = 162;
  int ModuleWidth = 3;
  int Hri = 0;
};

}  // namespace

TReceipt Decode(std::string_view bytes) { return TDecoder(bytes).Run(); }

}  // namespace ooa::escpos
