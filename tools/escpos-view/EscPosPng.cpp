// PNG preview of a decoded receipt: the paper as the printer would fill it,
// 12 x 24 dot characters (40 per line in the normal size; a double-byte
// character takes two), each drawn through a real font of the system in its
// code page's meaning (FontRaster.h; the 5 x 7 dot font where no font
// library is there), the logo as a framed box, barcodes as bars with their
// text. The bars show where a barcode
// is and how wide it is; they are drawn from the data but are not a scannable
// symbol.
#include <algorithm>

#include "escpos-view/BitmapFont.h"
#include "escpos-view/CodePageText.h"
#include "escpos-view/EscPosDecode.h"
#include "escpos-view/FontRaster.h"
#include "escpos-view/PngFile.h"

namespace ooa::escpos {

namespace {

constexpr int CellW = 12, CellH = 24, Margin = 24;
constexpr int PaperW = 40 * CellW + 2 * Margin;

class TPaper {
 public:
  TPaper(const std::string& codePage, TFontRaster& fonts) : CodePage(codePage), Fonts(fonts) {}
  int Y = Margin;  // next free row

  void Dot(int x, int y) { Shade(x, y, 255); }
  // Ink of the given coverage (0 none, 255 full) at a dot; the darker wins.
  void Shade(int x, int y, unsigned char ink) {
    if (x < 0 || x >= PaperW || y < 0 || ink == 0) return;
    Grow(y + 1);
    unsigned char& p = Pixels[static_cast<size_t>(y) * PaperW + x];
    p = std::min<unsigned char>(p, static_cast<unsigned char>(255 - ink));
  }
  void Fill(int x, int y, int w, int h) {
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) Dot(x + i, y + j);
  }
  void Grow(int rows) {
    if (rows > Rows) {
      Pixels.resize(static_cast<size_t>(rows) * PaperW, 255);
      Rows = rows;
    }
  }
  int Height() const { return Rows; }
  const std::vector<unsigned char>& Data() const { return Pixels; }

  // One character of c.Columns cells of w x h multiples at (x, y).
  void Glyph(const TChar& c, int x, int y, int w, int h, bool bold) {
    const int cellW = CellW * w * c.Columns, cellH = CellH * h;
    // A double-byte character is drawn a little larger: its glyph fills its em.
    const int em = c.Columns > 1 ? 22 : 20;
    if (c.Code != U' ' && Fonts.Render(c.Code, cellW, cellH, em * w, em * h, bold, Image)) {
      for (int j = 0; j < cellH; ++j)
        for (int i = 0; i < cellW; ++i) Shade(x + i, y + j, Image.Coverage[static_cast<size_t>(j * cellW + i)]);
      return;
    }
    if (c.Code == U' ') return;
    // No font for it: the dot font ('?' beyond ASCII).
    const unsigned char* rows = GlyphRows(c.Code < 0x80 ? static_cast<unsigned char>(c.Code) : '?');
    for (int r = 0; r < GlyphRowCount; ++r)
      for (int col = 0; col < GlyphColumns; ++col)
        if (rows[r] & (0x10 >> col)) {
          Fill(x + (1 + 2 * col) * w, y + (1 + 3 * r) * h, 2 * w + (bold ? 1 : 0), 3 * h);
        }
  }

  // Text at a justification within the full paper width.
  void Text(const std::string& text, TAlign align, int w, int h, bool bold) {
    for (const std::vector<TChar>& line : WrapChars(SplitChars(text, CodePage), 40 / w)) {
      int columns = 0;
      for (const TChar& c : line) columns += c.Columns;
      const int used = columns * CellW * w;
      int x = Margin;
      if (align == TAlign::Centre) x += (40 * CellW - used) / 2;
      if (align == TAlign::Right) x += 40 * CellW - used;
      for (const TChar& c : line) {
        Glyph(c, x, Y, w, h, bold);
        x += c.Columns * CellW * w;
      }
      Y += CellH * h;
      Grow(Y);
    }
  }

 private:
  std::string CodePage;
  TFontRaster& Fonts;
  TGlyphImage Image;
  int Rows = 0;
  std::vector<unsigned char> Pixels;
};

void DrawLogo(TPaper& p, int number) {
  const int w = 240, h = 72, x = Margin + (40 * CellW - w) / 2;
  p.Fill(x, p.Y, w, 2);
  p.Fill(x, p.Y + h - 2, w, 2);
  p.Fill(x, p.Y, 2, h);
  p.Fill(x + w - 2, p.Y, 2, h);
  const int y = p.Y;
  p.Y += (h - CellH) / 2;
  p.Text("LOGO " + std::to_string(number), TAlign::Centre, 1, 1, true);
  p.Y = y + h + CellH / 2;
}

void DrawBarcode(TPaper& p, const TItem& b) {
  // Modules: a start guard, nine per data byte from the byte's bits, a stop guard.
  std::vector<bool> modules = {true, false, true, true, false};
  for (unsigned char c : b.Text) {
    const unsigned v = (c * 37u + 11u) & 0x1FFu;
    for (int i = 0; i < 9; ++i) modules.push_back(((v >> i) & 1u) != 0 || i == 0);
    modules.push_back(false);
  }
  for (bool m : {true, true, false, true}) modules.push_back(m);
  const int mw = b.ModuleWidth > 0 ? b.ModuleWidth : 2;
  int width = static_cast<int>(modules.size()) * mw;
  if (width > 40 * CellW) width = 40 * CellW;
  int x = Margin;
  if (b.Align == TAlign::Centre) x += (40 * CellW - width) / 2;
  if (b.Align == TAlign::Right) x += 40 * CellW - width;
  if (b.HriPosition & 1) p.Text(b.Text, b.Align, 1, 1, false);
  const int height = b.Height > 0 ? b.Height : 50;
  for (size_t i = 0; i < modules.size() && static_cast<int>(i) * mw < width; ++i)
    if (modules[i]) p.Fill(x + static_cast<int>(i) * mw, p.Y, mw, height);
  p.Y += height + 4;
  p.Grow(p.Y);
  if (b.HriPosition & 2) p.Text(b.Text, b.Align, 1, 1, false);
}

void DrawCut(TPaper& p, bool partial) {
  p.Y += CellH / 2;
  for (int x = 0; x < PaperW; x += 12) {
    if (partial && x > PaperW / 2 - 24 && x < PaperW / 2 + 24) continue;
    p.Fill(x, p.Y, 8, 2);
  }
  p.Y += CellH / 2;
  p.Grow(p.Y);
}

}  // namespace

bool WritePng(const TReceipt& receipt, const std::string& path, std::string& error, const std::string& codePage) {
  TFontRaster fonts;
  TPaper paper(codePage, fonts);
  for (const TItem& i : receipt.Items) {
    switch (i.Kind) {
      case TItem::TKind::Text:
        paper.Text(i.Text, i.Align, i.Size.Width, i.Size.Height, i.Bold);
        break;
      case TItem::TKind::Logo:
        DrawLogo(paper, i.Number);
        break;
      case TItem::TKind::Barcode:
        DrawBarcode(paper, i);
        break;
      case TItem::TKind::Feed:
        paper.Y += i.Number * CellH;
        break;
      case TItem::TKind::Cut:
        DrawCut(paper, i.Number == 1);
        break;
      default:
        break;
    }
  }
  paper.Grow(paper.Y + Margin);

  return WriteGreyPng(path, PaperW, paper.Height(), paper.Data().data(), error);
}

}  // namespace ooa::escpos
