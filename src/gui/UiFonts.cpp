#include "gui/UiFonts.h"

#include <QStringList>

namespace ooa {

QFont WindowFont() {
  QFont f;
  f.setFamilies(QStringList{"Tahoma", "Nimbus Sans", "Liberation Sans", "DejaVu Sans", "Droid Sans Fallback"});
  f.setPointSize(8);
  return f;
}

QFont HeadlineFont(int pixelHeight) {
  QFont f;
  f.setFamilies(QStringList{"Microsoft YaHei UI", "Nimbus Sans", "Liberation Sans", "DejaVu Sans"});
  f.setPixelSize(pixelHeight);
  return f;
}

}  // namespace ooa
