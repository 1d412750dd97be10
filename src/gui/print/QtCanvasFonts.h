// How the Qt canvas stands in for the receipt driver's fonts (internal to
// ui/print). Pure functions; any thread with a QGuiApplication.
#pragma once

#include <QFont>

#include "print/CanvasPrinter.h"

namespace ooa {

enum class TCanvasFontRole { Text, Control, Barcode };

TCanvasFontRole RoleOf(const TCanvasFont& font);
// The Qt font drawn for a text font of the receipt.
QFont QtFontFor(const TCanvasFont& font);

}  // namespace ooa
