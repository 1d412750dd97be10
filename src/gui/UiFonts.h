// The fonts of the windows: the POS family's small dialog font (8 point) and
// the banner's headline font, each with fallbacks of similar width for
// desktops that lack them. UI thread only.
#pragma once

#include <QFont>

namespace ooa {

QFont WindowFont();
// pixelHeight: the height of the headline in pixels.
QFont HeadlineFont(int pixelHeight);

}  // namespace ooa
