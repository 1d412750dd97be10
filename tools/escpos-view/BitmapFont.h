// The dot font of the PNG preview: 5 x 7 glyphs for printable ASCII; other
// bytes show as '?'. Read-only data; any thread.
#pragma once

namespace ooa::escpos {

constexpr int GlyphColumns = 5;
constexpr int GlyphRowCount = 7;

// Seven rows of the glyph, top first; bit 4 is the leftmost dot.
const unsigned char* GlyphRows(unsigned char c);

}  // namespace ooa::escpos
