// PrinterControlUnit: sending output, lines, character sizes and centring.
#include <cstdlib>

#include "config/UtilUnit.h"
#include "print/PrinterControlUnit.h"
#include "print/PrinterState.h"
#include "print/PrinterTextOnly.h"

namespace ooa {

void SendToPrinter(const std::string& data) {
  TPrinterState& s = PrinterState();
  std::lock_guard lock(s.Mutex);
  if (!s.DocumentOpen()) return;
  if (s.Raw) {
    // Only the data reaches the printer, one piece per call.
    s.Raw->Write(data);
    return;
  }
  if (s.LinePosition + s.LineHeight >= s.Canvas->PageHeight()) {
    s.Canvas->NewPage();
    s.LinePosition = 0;
  }
  s.Canvas->TextOut(0, s.LinePosition, AnsiToUtf8(data));
  s.LinePosition += s.LineHeight;
}

void PrintLine(const std::string& text) {
  if (ReceiptPrinterRawMode())
    SendToPrinter(PrinterTextOnly(text) + "\r\n");
  else
    SendToPrinter(PrinterTextOnly(text));
}

namespace {

// One size routine: the raw bytes, or the canvas font of the current canvas mode.
void SetSize(const std::string& rawBytes, const char* deviceFont, int deviceSize, int graphicSize) {
  TPrinterState& s = PrinterState();
  std::lock_guard lock(s.Mutex);
  if (s.RawMode) {
    SendToPrinter(rawBytes);
    return;
  }
  if (!s.DocumentOpen()) return;
  s.Font.Bold = false;
  if (s.GraphicMode) {
    s.Font.Name = "Courier New";
    s.Font.Bold = true;
    s.Font.Size = graphicSize;
  } else {
    s.Font.Name = deviceFont;
    s.Font.Black = true;
    s.Font.Size = deviceSize;
  }
  s.ApplyFont();
  s.LineHeight = s.Canvas->TextHeight("X");
}

}  // namespace

void SetNormalFont() {
  // ESC ! 0 (font A, normal), GS B 0 (no reverse), GS ! 0 (1 x 1)
  SetSize(std::string("\x1B\x21\x00\x1D\x42\x00\x1D\x21\x00", 9), "FONTA11", 9, 8);
}

void SetDoubleWidthFont() {
  // ESC ! 0x20 (double width), GS ! 0x10 (2 x 1)
  SetSize(std::string("\x1B\x21\x20\x1D\x21\x10", 6), "FONTA21", 9, 16);
}

void SetLargeFont() {
  // ESC ! 0x30 (double width and height), GS ! 0x11 (2 x 2)
  SetSize(std::string("\x1B\x21\x30\x1D\x21\x11", 6), "FONTA22", 18, 16);
}

std::string CenterText(const std::string& text, int width) {
  const int n = (width - static_cast<int>(text.size())) / 2;  // toward zero
  return std::string(static_cast<size_t>(std::abs(n)), ' ') + text;
}

}  // namespace ooa
