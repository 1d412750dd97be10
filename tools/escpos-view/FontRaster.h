// Draws the characters of the PNG preview through the system's fonts:
// fontconfig finds a fixed-pitch font (DejaVu Sans Mono first) or, for a
// character it lacks, any font that has it (a CJK font for Chinese and
// Japanese); FreeType rasterises the glyph to grey levels. Without a usable
// font library or font, Available() is false and the caller draws its own
// dot font.
//
// One instance per picture, on the calling thread; it owns its FreeType
// library and the faces it opened.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ooa::escpos {

struct TGlyphImage {
  int Width = 0, Height = 0;  // the box asked for
  std::vector<unsigned char> Coverage;  // Width x Height, 0 (none) to 255 (full ink)
};

class TFontRaster {
 public:
  TFontRaster();
  ~TFontRaster();
  TFontRaster(const TFontRaster&) = delete;
  TFontRaster& operator=(const TFontRaster&) = delete;

  bool Available() const { return Library != nullptr; }
  // The character drawn into a box of w x h dots (a cell of the paper), its
  // glyph scaled to emW x emH dots per em (stretched for double width or
  // height); false when no font has the character.
  bool Render(char32_t c, int w, int h, int emW, int emH, bool bold, TGlyphImage& image);

 private:
  void* FaceFor(char32_t c);  // FT_Face, or nullptr
  void* Open(const std::string& file, int index);

  void* Library = nullptr;  // FT_Library
  std::vector<void*> Faces;  // FT_Face, the fixed-pitch one first
  std::map<std::pair<std::string, int>, void*> ByFile;
};

}  // namespace ooa::escpos
