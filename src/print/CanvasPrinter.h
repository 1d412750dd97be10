// The page canvas that the two canvas modes (device-font and graphic) draw a
// receipt on. The core only states what to draw; an implementation outside the
// core draws it (the Qt one in gui/print draws on a print queue or a PDF file;
// on Windows the GDI one in print/win draws on a printer device context).
// Programs that plug in no implementation cannot print in a canvas mode: the
// receipt printer then reports "no canvas printer: ..." and prints nothing.
//
// One ICanvasPrinter is one print document on the order worker thread; it is
// owned by the printer state between OpenReceiptPrinter and CloseReceiptPrinter.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace ooa {

// The canvas font as the receipt routines set it. Names are those of the
// receipt printer's driver: "FONTA11", "FONTA21", "FONTA22" (text), "control"
// (each character drawn triggers a printer function: "w", "H" logo, "x" and
// "w" around a barcode, "g" cut) and "Barcode1" (the text is drawn as a
// barcode); or "Courier New" in graphic mode.
struct TCanvasFont {
  std::string Name;
  int Size = 8;        // points
  bool Bold = false;
  bool Black = false;  // the colour was set to black (device-font mode)

  bool operator==(const TCanvasFont&) const = default;
};

class ICanvasPrinter {
 public:
  virtual ~ICanvasPrinter() = default;
  // Starts the document; throws (any std::exception) when it cannot.
  virtual void BeginDoc() = 0;
  // Ends the document (the pages go to the printer or the file).
  virtual void EndDoc() = 0;
  virtual bool Printing() const = 0;
  virtual void NewPage() = 0;
  // Height of the printable page, in device units.
  virtual int PageHeight() const = 0;
  virtual void SetFont(const TCanvasFont& font) = 0;
  // Height of the text in the current font, in device units.
  virtual int TextHeight(const std::string& utf8) = 0;
  virtual void TextOut(int x, int y, const std::string& utf8) = 0;
};

// Where a canvas document goes: a print queue, or a PDF file.
struct TCanvasTarget {
  std::string Queue;    // set for a print queue
  std::string PdfFile;  // set for pdf:PATH: the file of this receipt (PdfReceiptFile.h)
  bool GraphicMode = false;
  std::string DocumentName;  // the invoice number (the job's title); may be empty
};

using TCanvasPrinterFactory = std::function<std::unique_ptr<ICanvasPrinter>(const TCanvasTarget&)>;

// Plugs in the canvas implementation (once, at start-up, before any receipt);
// nullptr removes it. Any thread.
void SetCanvasPrinterFactory(TCanvasPrinterFactory factory);
// Creates a canvas for the target; throws TPrintError "no canvas printer" when
// no implementation is plugged in.
std::unique_ptr<ICanvasPrinter> CreateCanvasPrinter(const TCanvasTarget& target);

}  // namespace ooa
