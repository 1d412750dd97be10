// The Windows implementation of the receipt canvas (print/CanvasPrinter.h):
// draws the receipt of the device-font and graphic modes with GDI on a
// printer device context (CreateDCW "WINSPOOL"), one print job per receipt.
//
// The receipt driver's device fonts are used when the printer has them:
// "FONTA11", "FONTA21", "FONTA22" for text, "control" (each character drawn
// is a printer function: logo, barcode framing, cut) and "Barcode1" (the text
// becomes a barcode). A printer without them (any page printer) gets what the
// Qt canvas draws: Courier New at the same sizes for the text fonts (FONTA21
// at double width), no mark for a "control" character, and bars with the
// text below for "Barcode1". Graphic mode draws "Courier New" as set.
//
// pdf:PATH receipts go through the "Microsoft Print to PDF" printer, with the
// reserved file as the job's output file and a receipt roll's page (80 mm by
// 200 mm) asked of its driver; where that printer is not installed the
// receipt is not printed and says so.
//
// A canvas is created and used on the order worker thread, one per receipt;
// GDI needs no window or message loop for it.
#pragma once

#include <memory>

#include "print/CanvasPrinter.h"

namespace ooa {

// Plugs this implementation into the receipt printer (SetCanvasPrinterFactory).
// Call once at start-up.
void RegisterGdiCanvasPrinter();

std::unique_ptr<ICanvasPrinter> CreateGdiCanvasPrinter(const TCanvasTarget& target);

// The printer that pdf: receipts are drawn with.
inline constexpr const char* kPdfPrinterName = "Microsoft Print to PDF";

}  // namespace ooa
