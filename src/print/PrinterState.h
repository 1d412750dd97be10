// The process-wide printer state shared by the PrinterControlUnit routines
// (internal to src/print). Reached only through PrinterState(), whose lock the
// routines hold while they use it (recursive: routines call each other).
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "print/CanvasPrinter.h"
#include "print/PrinterOutput.h"

namespace ooa {

struct TPrinterState {
  std::recursive_mutex Mutex;
  bool RawMode = false;
  bool GraphicMode = false;
  int LinePosition = 0;
  int LineHeight = 0;
  std::unique_ptr<IPrinterOutput> Raw;   // the open raw document
  std::unique_ptr<ICanvasPrinter> Canvas;  // the open canvas document
  TCanvasFont Font;                      // the canvas font as last set

  bool DocumentOpen() const { return Raw != nullptr || (Canvas != nullptr && Canvas->Printing()); }
  // Applies Font to the canvas (canvas modes, document open).
  void ApplyFont() {
    if (Canvas) Canvas->SetFont(Font);
  }
};

TPrinterState& PrinterState();

}  // namespace ooa
