// The Qt implementation of the receipt canvas (print/CanvasPrinter.h): draws
// the receipt of the device-font and graphic modes with a QPainter on a
// QPrinter, either for a print queue or into a PDF file (printer name
// pdf:PATH). The receipt driver's device fonts do not exist here: "FONTA11",
// "FONTA21" and "FONTA22" become the system's fixed-pitch font at the same
// sizes (FONTA21 stretched to double width); characters drawn in the "control"
// font are printer functions and leave no mark; text in "Barcode1" is drawn
// as bars with the text below.
//
// A canvas is created and used on the order worker thread, one per receipt.
// Qt needs a QGuiApplication (any platform, also "offscreen") to exist before.
#pragma once

#include <memory>

#include "print/CanvasPrinter.h"

namespace ooa {

// Plugs this implementation into the receipt printer (SetCanvasPrinterFactory).
// Call once at start-up, after the QGuiApplication exists.
void RegisterQtCanvasPrinter();

std::unique_ptr<ICanvasPrinter> CreateQtCanvasPrinter(const TCanvasTarget& target);

}  // namespace ooa
