#include "escpos-view/FontRaster.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <map>
#include <string>
#include <utility>

namespace ooa::escpos {

namespace {

// The file and face index fontconfig chooses for the pattern (a family name,
// and a character the font must have when c is not 0).
bool Match(const char* family, char32_t c, std::string& file, int& index) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
  if (!pattern) return false;
  FcCharSet* set = nullptr;
  if (c != 0) {
    set = FcCharSetCreate();
    FcCharSetAddChar(set, static_cast<FcChar32>(c));
    FcPatternAddCharSet(pattern, FC_CHARSET, set);
  }
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* found = FcFontMatch(nullptr, pattern, &result);
  bool ok = false;
  if (found) {
    FcChar8* path = nullptr;
    int i = 0;
    FcCharSet* has = nullptr;
    const bool covers = c == 0 || (FcPatternGetCharSet(found, FC_CHARSET, 0, &has) == FcResultMatch &&
                                   FcCharSetHasChar(has, static_cast<FcChar32>(c)));
    if (covers && FcPatternGetString(found, FC_FILE, 0, &path) == FcResultMatch) {
      if (FcPatternGetInteger(found, FC_INDEX, 0, &i) != FcResultMatch) i = 0;
      file = reinterpret_cast<const char*>(path);
      index = i;
      ok = true;
    }
    FcPatternDestroy(found);
  }
  if (set) FcCharSetDestroy(set);
  FcPatternDestroy(pattern);
  return ok;
}

}  // namespace

struct TFontRaster::TImpl {
  FT_Library Library = nullptr;
  std::vector<FT_Face> Faces;  // the fixed-pitch one first
  std::map<std::pair<std::string, int>, FT_Face> ByFile;

  ~TImpl() {
    for (FT_Face f : Faces) FT_Done_Face(f);
    if (Library) FT_Done_FreeType(Library);
  }

  FT_Face Open(const std::string& file, int index) {
    const auto key = std::make_pair(file, index);
    if (auto it = ByFile.find(key); it != ByFile.end()) return it->second;
    FT_Face face = nullptr;
    if (FT_New_Face(Library, file.c_str(), index, &face) != 0) face = nullptr;
    ByFile[key] = face;
    if (face) Faces.push_back(face);
    return face;
  }

  FT_Face FaceFor(char32_t c) {
    for (FT_Face f : Faces)
      if (FT_Get_Char_Index(f, c) != 0) return f;
    std::string file;
    int index = 0;
    if (!Match("monospace", c, file, index) && !Match("sans-serif", c, file, index)) return nullptr;
    FT_Face f = Open(file, index);
    return f && FT_Get_Char_Index(f, c) != 0 ? f : nullptr;
  }
};

TFontRaster::TFontRaster() {
  if (!FcInit()) return;
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) return;
  Impl = std::make_unique<TImpl>();
  Impl->Library = lib;
  std::string file;
  int index = 0;
  if (Match("DejaVu Sans Mono", 0, file, index) || Match("monospace", 0, file, index)) Impl->Open(file, index);
}

TFontRaster::~TFontRaster() = default;

bool TFontRaster::Render(char32_t c, int w, int h, int emW, int emH, bool bold, TGlyphImage& image) {
  image.Width = w;
  image.Height = h;
  image.Coverage.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  if (!Impl) return false;
  FT_Face face = Impl->FaceFor(c);
  if (!face) return false;
  if (FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(emW), static_cast<FT_UInt>(emH)) != 0) return false;
  if (FT_Load_Char(face, c, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  if (bold && slot->format == FT_GLYPH_FORMAT_OUTLINE) FT_Outline_EmboldenXY(&slot->outline, emW * 3, 0);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;

  // Centred across the cell, on one baseline for every font (four fifths
  // down the cell), so that scripts of different fonts share a line.
  const FT_Bitmap& bm = slot->bitmap;
  const int baseline = (h * 4 + 2) / 5;
  const int x0 = (w - static_cast<int>(bm.width)) / 2;
  const int y0 = baseline - slot->bitmap_top;
  for (unsigned row = 0; row < bm.rows; ++row) {
    const int y = y0 + static_cast<int>(row);
    if (y < 0 || y >= h) continue;
    for (unsigned col = 0; col < bm.width; ++col) {
      const int x = x0 + static_cast<int>(col);
      if (x < 0 || x >= w) continue;
      const unsigned char v = bm.buffer[row * static_cast<unsigned>(bm.pitch) + col];
      unsigned char& dst = image.Coverage[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
      dst = std::max(dst, v);
    }
  }
  return true;
}

}  // namespace ooa::escpos
