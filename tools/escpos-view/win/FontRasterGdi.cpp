// The glyphs of the PNG preview through GDI: each character is drawn with
// ExtTextOutW, white on black and anti-aliased, into a 32-bit DIB section of
// the cell's size, and one colour channel is read back as the coverage. The
// fixed-pitch font is the first installed of the list below; a character it
// lacks is drawn with the first font that has a glyph for it (the CJK fonts
// first, then any installed font). GDI's rasteriser is not FreeType's, so the
// pictures differ in their grey levels from the Linux edition's.
#include "escpos-view/FontRaster.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <tuple>

namespace ooa::escpos {

namespace {

// Fixed-pitch fonts of Windows first, then those Wine finds on the host.
constexpr const wchar_t* FixedPitch[] = {L"Consolas",         L"Courier New",     L"Lucida Console",
                                         L"DejaVu Sans Mono", L"Liberation Mono", L"Noto Sans Mono"};
// For characters the fixed-pitch font lacks: Chinese and Japanese fonts,
// then general Unicode fonts.
constexpr const wchar_t* Fallbacks[] = {
    L"SimSun",           L"NSimSun",       L"MS Gothic",        L"Microsoft YaHei",       L"MingLiU",
    L"Microsoft JhengHei", L"Yu Gothic",   L"Meiryo",           L"Noto Sans Mono CJK SC", L"Noto Sans CJK SC",
    L"Droid Sans Fallback", L"Arial Unicode MS", L"Segoe UI",   L"Arial",                 L"Tahoma",
    L"DejaVu Sans",      L"Liberation Sans"};

int CALLBACK CollectFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM param) {
  // Only scalable fonts: the bitmap ones cannot be drawn at every size.
  if ((type & RASTER_FONTTYPE) == 0 && font->lfFaceName[0] != L'@')
    reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(font->lfFaceName);
  return 1;
}

// The scalable families installed with this name (at most one), or all of
// them when the name is empty.
std::vector<std::wstring> Installed(HDC dc, const wchar_t* name) {
  LOGFONTW want{};
  want.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(want.lfFaceName, name, LF_FACESIZE - 1);
  std::vector<std::wstring> found;
  EnumFontFamiliesExW(dc, &want, CollectFamily, reinterpret_cast<LPARAM>(&found), 0);
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return found;
}

}  // namespace

struct TFontRaster::TImpl {
  HDC Dc = nullptr;
  std::vector<std::wstring> Families;  // the fixed-pitch one first
  bool AllListed = false;              // every installed family is in Families
  std::map<std::tuple<size_t, int, int, bool>, HFONT> Fonts;
  std::map<wchar_t, size_t> FamilyOf;  // the family that draws a character

  ~TImpl() {
    for (auto& [key, font] : Fonts) DeleteObject(font);
    if (Dc) DeleteDC(Dc);
  }

  void Add(const std::wstring& family) {
    if (std::find(Families.begin(), Families.end(), family) == Families.end()) Families.push_back(family);
  }

  HFONT Font(size_t family, int emW, int emH, bool bold) {
    const auto key = std::make_tuple(family, emW, emH, bold);
    if (auto it = Fonts.find(key); it != Fonts.end()) return it->second;
    LOGFONTW lf{};
    lf.lfHeight = -emH;  // the em, in pixels
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    wcsncpy(lf.lfFaceName, Families[family].c_str(), LF_FACESIZE - 1);
    if (emW != emH) {
      // GDI stretches by the average character width, not by the em.
      HFONT plain = Font(family, emH, emH, bold);
      TEXTMETRICW tm{};
      if (plain) {
        const HGDIOBJ old = SelectObject(Dc, plain);
        GetTextMetricsW(Dc, &tm);
        SelectObject(Dc, old);
      }
      lf.lfWidth = MulDiv(tm.tmAveCharWidth, emW, emH);
    }
    HFONT font = CreateFontIndirectW(&lf);
    Fonts[key] = font;
    return font;
  }

  bool Has(size_t family, wchar_t c) {
    HFONT font = Font(family, 20, 20, false);
    if (!font) return false;
    const HGDIOBJ old = SelectObject(Dc, font);
    WORD glyph = 0xFFFF;
    const bool has = GetGlyphIndicesW(Dc, &c, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 && glyph != 0xFFFF;
    SelectObject(Dc, old);
    return has;
  }

  // The family that has the character, or Families.size() when none has.
  size_t FamilyFor(wchar_t c) {
    if (auto it = FamilyOf.find(c); it != FamilyOf.end()) return it->second;
    size_t found = Families.size();
    for (size_t i = 0; i < Families.size() && found == Families.size(); ++i)
      if (Has(i, c)) found = i;
    if (found == Families.size() && !AllListed) {
      const size_t listed = Families.size();
      for (const std::wstring& f : Installed(Dc, L"")) Add(f);
      AllListed = true;
      for (size_t i = listed; i < Families.size() && found == Families.size(); ++i)
        if (Has(i, c)) found = i;
    }
    return FamilyOf[c] = found;
  }
};

TFontRaster::TFontRaster() {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return;
  Impl = std::make_unique<TImpl>();
  Impl->Dc = dc;
  for (const wchar_t* name : FixedPitch) {
    if (Installed(dc, name).empty()) continue;
    Impl->Add(name);
    break;
  }
  for (const wchar_t* name : Fallbacks)
    if (!Installed(dc, name).empty()) Impl->Add(name);
}

TFontRaster::~TFontRaster() = default;

bool TFontRaster::Render(char32_t c, int w, int h, int emW, int emH, bool bold, TGlyphImage& image) {
  image.Width = w;
  image.Height = h;
  image.Coverage.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  // GDI finds glyphs for one UTF-16 unit; receipts' code pages have nothing
  // beyond the first plane.
  if (!Impl || c == 0 || c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF) || w <= 0 || h <= 0) return false;
  const wchar_t ch = static_cast<wchar_t>(c);
  const size_t family = Impl->FamilyFor(ch);
  if (family >= Impl->Families.size()) return false;
  HDC dc = Impl->Dc;
  HFONT font = Impl->Font(family, emW, emH, bold);
  if (!font) return false;

  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return false;
  std::memset(bits, 0, static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
  const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  const HGDIOBJ oldFont = SelectObject(dc, font);

  // Centred across the cell, on one baseline for every font (four fifths
  // down the cell), so that scripts of different fonts share a line.
  bool drawn = false;
  GLYPHMETRICS gm{};
  const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  if (GetGlyphOutlineW(dc, ch, GGO_METRICS, &gm, 0, nullptr, &identity) != GDI_ERROR) {
    const int baseline = (h * 4 + 2) / 5;
    const int x = (w - static_cast<int>(gm.gmBlackBoxX)) / 2 - gm.gmptGlyphOrigin.x;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    drawn = ExtTextOutW(dc, x, baseline, 0, nullptr, &ch, 1, nullptr) != 0;
    GdiFlush();
  }
  if (drawn) {
    const auto* pixel = static_cast<const unsigned char*>(bits);
    for (size_t i = 0; i < image.Coverage.size(); ++i) image.Coverage[i] = pixel[i * 4 + 1];  // green
  }
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  return drawn;
}

}  // namespace ooa::escpos
