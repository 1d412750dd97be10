// PrinterControlUnit: drives the receipt printer named in TConfig.PrinterName.
// One print document per receipt (OpenReceiptPrinter ... CloseReceiptPrinter)
// and the few primitives the receipt layout needs. Every primitive works in
// one of three modes, chosen when the document starts:
//   raw mode         the printer is text-only: ESC/POS bytes and 8-bit text;
//   device-font mode not raw, TConfig.GraphicMode off: text on a page canvas in
//                    the receipt driver's fonts (mapped to fixed-pitch fonts);
//   graphic mode     not raw, TConfig.GraphicMode on: "Courier New" bold.
// Nothing is buffered: every line, size change, logo, barcode and cut goes to
// the printer when it is produced, one piece per call.
//
// Printer names: "N/A" (print nothing), a print queue, socket://host:port (a
// network receipt printer, port 9100 by default), a device path such as
// /dev/usb/lp0 (on Windows also \\.\COM1, LPT1, COM3:), file:PATH (append the raw bytes to a file), pdf:PATH (draw
// the canvas pages into a PDF file). A queue counts as text-only when it is a
// raw queue or uses the generic text-only driver; the addresses socket://,
// /dev/ and file: are always raw. A queue name that is not installed falls
// back to the print service's default queue (in a canvas mode, since only an
// installed queue can be known to be text-only).
//
// Threads: the order worker, one receipt at a time. The printer state (raw
// mode, line position, line height, the open document) is process-wide; it
// is kept under a lock so that a stray call from another thread cannot tear
// it, but two receipts must never interleave.
//
// Errors: OpenReceiptPrinter returns false on any failure (and says why);
// CloseReceiptPrinter ends the document whatever fails but lets the failure
// of the cut or of ending the job reach the receipt layout, as every other
// routine does with a TPrintError (or the canvas's own error): a receipt that
// did not reach the printer is never taken for printed.
#pragma once

#include <string>

namespace ooa {

// True when the named printer takes raw text: a raw address, or an installed
// queue that is a raw queue or uses the generic text-only driver (on Windows:
// whose driver is "Generic / Text Only"). False for an unknown name or when
// the print service cannot be asked.
bool IsTextOnlyPrinter(const std::string& printerName);

// A program that prints through the system's default printer device would
// switch it here; every job of ours names its queue or address (also on
// Windows, where the spooler job and the printer device context are opened by
// name), so there is nothing to switch. This routine therefore changes nothing
// (the user's default printer is left alone, since other programs print to it).
void SetDefaultPrinterDevice(const std::string& printerName);

// A raw document drawn through a driver would need the driver's paper size and
// source adjusted first. Here no driver sees raw output: a queue gets it as a
// job in the print service's raw document format (the spooler's "RAW" data
// type on Windows), which no filter or paper setting touches, and
// the socket, device and file back-ends pass the bytes on as they are. So
// this routine changes nothing; OpenReceiptPrinter still calls it in raw mode
// only, and a canvas-mode printer keeps its paper settings.
void SetRawDeviceMode();

// Starts a receipt document on the configured printer. False when the printer
// is "N/A" (nothing else happens) or when selecting the printer or starting
// the document fails. A document left open by an interrupted receipt is ended
// first, after a bounded wait. Sets the line position to 0 (except for "N/A").
// This form names the document "Receipt" and puts a failure in the debug log.
bool OpenReceiptPrinter();
// The same; documentName (the invoice number) names the print job and the
// PDF file of a pdf: printer, and whyNot says why no document was started
// (empty for "N/A").
bool OpenReceiptPrinter(const std::string& documentName, std::string& whyNot);
// Sends one piece of output in the current mode (nothing when no document is open).
void SendToPrinter(const std::string& data);
// One receipt line: raw mode adds CR LF.
void PrintLine(const std::string& text);
void SetNormalFont();
void SetDoubleWidthFont();
void SetLargeFont();
// The logo stored in the printer (raw: NV bit image 1).
void PrintLogo();
// A barcode with its text below; alignment 0 left, 1 centre, 2 right. Up to 9
// bytes CODE39 (always left-justified), longer CODE93.
void PrintBarcode(const std::string& data, int alignment);
// Normal size, feed, partial cut.
void CutPaper();
// Cuts and ends the document. The document is ended even when the cut fails;
// a failure of the cut or of ending the job is thrown (TPrintError) after.
void CloseReceiptPrinter();

// The text preceded by |(width - length) / 2| spaces (length counts bytes).
std::string CenterText(const std::string& text, int width);

// The printer state, for tests and diagnostics.
bool ReceiptPrinterRawMode();
bool ReceiptDocumentOpen();
int ReceiptLinePosition();
int ReceiptLineHeight();
// Page height of the open canvas document (0 in raw mode or without a document).
int ReceiptPageHeight();

}  // namespace ooa
