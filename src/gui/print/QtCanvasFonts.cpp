#include "gui/print/QtCanvasFonts.h"

#include <QFontDatabase>

namespace ooa {

TCanvasFontRole RoleOf(const TCanvasFont& font) {
  if (font.Name == "control") return TCanvasFontRole::Control;
  if (font.Name == "Barcode1") return TCanvasFontRole::Barcode;
  return TCanvasFontRole::Text;
}

QFont QtFontFor(const TCanvasFont& font) {
  QFont f;
  if (font.Name == "Courier New") {
    f = QFont("Courier New");
  } else {
    // The driver's device fonts: a fixed-pitch font of the same size.
    f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  }
  f.setStyleHint(QFont::Monospace);
  f.setFixedPitch(true);
  f.setPointSize(font.Size > 0 ? font.Size : 1);
  f.setBold(font.Bold);
  if (font.Name == "FONTA21") f.setStretch(200);  // double width, normal height
  return f;
}

}  // namespace ooa
