// PrinterControlUnit: the printer state, choosing the printer and mode, and
// starting and ending the receipt document.
#include <chrono>
#include <thread>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "config/UtilUnit.h"
#include "print/PrinterControlUnit.h"
#include "print/PdfReceiptFile.h"
#include "print/PrinterList.h"
#include "print/PrinterPlatform.h"
#include "print/PrinterState.h"

namespace ooa {

TPrinterState& PrinterState() {
  static TPrinterState state;
  return state;
}

namespace {

// Ends the open document, if any. The document is gone afterwards even when
// ending it failed (the error is thrown after it was dropped).
void EndDocument(TPrinterState& s) {
  auto raw = std::move(s.Raw);
  auto canvas = std::move(s.Canvas);
  if (raw) raw->Finish();
  if (canvas && canvas->Printing()) canvas->EndDoc();
}

}  // namespace

bool IsTextOnlyPrinter(const std::string& printerName) {
  if (IsRawPrinterAddress(printerName)) return true;
  if (printerName.empty() || printerName.rfind("pdf:", 0) == 0) return false;
  return QueueIsTextOnly(printerName);
}

void SetDefaultPrinterDevice(const std::string& printerName) {
  // Nothing to switch: every job names its own queue or address.
}

void SetRawDeviceMode() {
  // Nothing to adjust: the raw back-ends send the bytes as they are (a print
  // queue gets them as a job in the raw document format).
}

bool OpenReceiptPrinter() {
  std::string whyNot;
  const bool ok = OpenReceiptPrinter("", whyNot);
  if (!ok && !whyNot.empty()) LogLine("Receipt printer: " + whyNot);
  return ok;
}

bool OpenReceiptPrinter(const std::string& documentName, std::string& whyNot) {
  whyNot.clear();
  const TConfig config = ConfigSnapshot();
  const std::string& name = config.PrinterName;
  if (name == "N/A") return false;
  TPrinterState& s = PrinterState();

  // A document still open belongs to an interrupted receipt: give it a
  // bounded time, then end it before starting ours.
  const TPrinterTimings t = PrinterTimings();
  for (int i = 0; i < t.DocumentWaitTries; ++i) {
    {
      std::lock_guard lock(s.Mutex);
      if (!s.DocumentOpen()) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(t.DocumentWaitMs));
  }

  std::lock_guard lock(s.Mutex);
  bool ok = false;
  std::string reservedPdf;  // removed again when the document does not start
  try {
    EndDocument(s);
    s.RawMode = IsTextOnlyPrinter(name);
    s.GraphicMode = config.GraphicMode;
    TPrinterAddress address = ParsePrinterAddress(name);
    if (address.Kind == TPrinterAddress::TKind::Queue && IndexOfString(InstalledPrinters(), name) < 0) {
      address.Target = DefaultPrinter();
      if (address.Target.empty())
        throw TPrintError("printer \"" + name + "\" is not installed and there is no default printer");
    }
    if (s.RawMode) {
      SetRawDeviceMode();
      s.Raw = OpenRawOutput(address, documentName);
      SendToPrinter(std::string("\x1B\x40\x0C", 3));  // ESC @ (initialise), form feed
    } else {
      TCanvasTarget target;
      if (address.Kind == TPrinterAddress::TKind::Pdf)
        target.PdfFile = reservedPdf = ReservePdfReceiptFile(address.Target, documentName);
      else
        target.Queue = address.Target;
      target.GraphicMode = s.GraphicMode;
      target.DocumentName = documentName;
      s.Canvas = CreateCanvasPrinter(target);
      s.Canvas->BeginDoc();
      // A new document starts at the top of its first page (drawing the start
      // mark at the previous receipt's position could break to a blank page).
      s.LinePosition = 0;
      if (s.Canvas->Printing() && !s.GraphicMode) {
        s.Font.Bold = false;
        s.Font.Name = "control";
        s.Font.Size = 1;
        s.ApplyFont();
        SendToPrinter("w");
      }
    }
    ok = true;
  } catch (const std::exception& e) {
    s.Raw.reset();
    s.Canvas.reset();
    whyNot = e.what();
    if (whyNot.empty()) whyNot = "the printer cannot be opened";
    if (!reservedPdf.empty()) RemoveFile(reservedPdf);
  }
  s.LinePosition = 0;
  return ok;
}

void CloseReceiptPrinter() {
  TPrinterState& s = PrinterState();
  std::lock_guard lock(s.Mutex);
  // A failing cut still ends the document (a half job must not wait in the
  // queue for the next receipt); the cut's error then goes to the receipt.
  std::exception_ptr cutError;
  try {
    CutPaper();
  } catch (...) {
    cutError = std::current_exception();
  }
  try {
    if (!s.RawMode && s.Canvas && s.Canvas->Printing()) s.Canvas->TextOut(0, s.LinePosition, " ");
  } catch (...) {
  }
  // Ending the job can fail too (the spooler refuses it, the printer drops
  // the connection with the receipt unread): then the receipt was not printed.
  std::exception_ptr endError;
  try {
    EndDocument(s);
  } catch (...) {
    endError = std::current_exception();
  }
  if (cutError) std::rethrow_exception(cutError);
  if (endError) std::rethrow_exception(endError);
}

bool ReceiptPrinterRawMode() {
  std::lock_guard lock(PrinterState().Mutex);
  return PrinterState().RawMode;
}

bool ReceiptDocumentOpen() {
  std::lock_guard lock(PrinterState().Mutex);
  return PrinterState().DocumentOpen();
}

int ReceiptLinePosition() {
  std::lock_guard lock(PrinterState().Mutex);
  return PrinterState().LinePosition;
}

int ReceiptLineHeight() {
  std::lock_guard lock(PrinterState().Mutex);
  return PrinterState().LineHeight;
}

int ReceiptPageHeight() {
  TPrinterState& s = PrinterState();
  std::lock_guard lock(s.Mutex);
  return s.Canvas && s.Canvas->Printing() ? s.Canvas->PageHeight() : 0;
}

}  // namespace ooa
