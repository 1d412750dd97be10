#include "print/CanvasPrinter.h"

#include <mutex>

#include "print/PrinterOutput.h"

namespace ooa {

namespace {
std::mutex FactoryMutex;
TCanvasPrinterFactory Factory;
}  // namespace

void SetCanvasPrinterFactory(TCanvasPrinterFactory factory) {
  std::lock_guard lock(FactoryMutex);
  Factory = std::move(factory);
}

std::unique_ptr<ICanvasPrinter> CreateCanvasPrinter(const TCanvasTarget& target) {
  TCanvasPrinterFactory f;
  {
    std::lock_guard lock(FactoryMutex);
    f = Factory;
  }
  if (!f) throw TPrintError("no canvas printer: this program prints to page printers and PDF files only when built with its window");
  auto canvas = f(target);
  if (!canvas) throw TPrintError("no canvas printer");
  return canvas;
}

}  // namespace ooa
