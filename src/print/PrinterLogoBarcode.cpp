// PrinterControlUnit: logo, barcode and cut.
#include "print/PrinterControlUnit.h"
#include "print/PrinterState.h"
#include "print/PrinterTextOnly.h"

namespace ooa {

namespace {

// Canvas modes: select a font of the receipt driver at size 1 in regular style.
void SelectControlFont(TPrinterState& s, const char* name) {
  s.Font.Bold = false;
  s.Font.Size = 1;
  s.Font.Name = name;
  s.ApplyFont();
}

}  // namespace

void PrintLogo() {
  TPrinterState& s = PrinterState();
  std::lock_guard lock(s.Mutex);
  if (s.RawMode) {
    SendToPrinter(std::string("\x1C\x70\x01\x00", 4));  // FS p 1 0: NV bit image 1, normal size
    return;
  }
  if (!s.DocumentOpen()) return;
  SelectControlFont(s, "control");
  SendToPrinter("H");
}

void PrintBarcode(const std::string& text, int alignment) {
  const std::string data = PrinterTextOnly(text);
  TPrinterState& s = PrinterState();
  std::lock_guard lock(s.Mutex);
  if (s.RawMode) {
    std::string bytes;
    if (data.size() <= 9) {
      // ESC a 0, GS h 50, GS w 3, GS f 0, GS H 2, GS k 4 (CODE39, NUL-ended)
      bytes.assign("\x1B\x61\x00\x1D\x68\x32\x1D\x77\x03\x1D\x66\x00\x1D\x48\x02\x1D\x6B\x04", 18);
    } else {
      // The printer takes the CODE93 length as one byte: a longer text would
      // spill into the following output as text and commands.
      if (data.size() > 255) throw TPrintError("Barcode text longer than 255 bytes");
      // ESC a a, GS h 50, GS w 2, GS f 0, GS H 2, GS k 72 n (CODE93)
      bytes.assign("\x1B\x61", 2);
      bytes += static_cast<char>(alignment);
      bytes.append("\x1D\x68\x32\x1D\x77\x02\x1D\x66\x00\x1D\x48\x02\x1D\x6B\x48", 15);
      bytes += static_cast<char>(data.size());
    }
    bytes += data;
    bytes += '\0';
    SendToPrinter(bytes);
    return;
  }
  if (!s.DocumentOpen()) return;
  SelectControlFont(s, "control");
  SendToPrinter("x");
  s.Font.Name = "Barcode1";
  s.ApplyFont();
  s.LineHeight = s.Canvas->TextHeight("X");
  SendToPrinter(data);
  SelectControlFont(s, "control");
  SendToPrinter("w");
}

void CutPaper() {
  TPrinterState& s = PrinterState();
  std::lock_guard lock(s.Mutex);
  SetNormalFont();
  if (s.RawMode) {
    SendToPrinter(std::string("\x1B\x64\x05\x1D\x56\x01", 6));  // ESC d 5 (feed 5 lines), GS V 1 (partial cut)
    return;
  }
  SendToPrinter(" ");
  SendToPrinter(" ");
  SendToPrinter(" ");
  s.Font.Name = "control";
  s.Font.Size = 1;
  s.ApplyFont();
  SendToPrinter("g");
}

}  // namespace ooa
