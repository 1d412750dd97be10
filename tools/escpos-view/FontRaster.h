// Draws the characters of the PNG preview through the system's fonts: a
// fixed-pitch font first or, for a character it lacks, any font that has it
// (a CJK font for Chinese and Japanese), rasterised to grey levels. On Linux
// fontconfig finds the fonts (DejaVu Sans Mono first) and FreeType draws
// them; on Windows GDI draws them (posix/ and win/ hold the two halves).
// Without a usable font library or font, Available() is false and the caller
// draws its own dot font.
//
// One instance per picture, on the calling thread; it owns the font library
// and the fonts it opened.
#pragma once

#include <memory>
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

  bool Available() const { return Impl != nullptr; }
  // The character drawn into a box of w x h dots (a cell of the paper), its
  // glyph scaled to emW x emH dots per em (stretched for double width or
  // height); false when no font has the character.
  bool Render(char32_t c, int w, int h, int emW, int emH, bool bold, TGlyphImage& image);

 private:
  struct TImpl;  // the platform's font library and open fonts
  std::unique_ptr<TImpl> Impl;
};

}  // namespace ooa::escpos
