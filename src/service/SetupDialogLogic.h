// The settings dialog's rules, apart from any window toolkit, so that every
// edition's dialog behaves alike: the barcode check boxes and their rules,
// the printer field as shown for the settings and its status line, the
// language lists' selection, and the settings a Save writes. Pure functions;
// any thread.
#pragma once

#include <string>
#include <vector>

#include "config/Config.h"

namespace ooa {

struct TCheckState {
  bool Checked = false;
  bool Enabled = true;
};

// "Print item barcode on receipt", "Only print number as barcode" and "If
// barcode is null, print product code as barcode".
struct TBarcodeBoxes {
  TCheckState PrintItemBarcode, OnlyPrintNumber, ProductCodeAsBarcode;
};

// The product-code box is enabled exactly when one of the other two is
// checked; disabled, it is also unchecked.
void ApplyProductCodeRule(TBarcodeBoxes& boxes);
// After "Print item barcode" changed: "Only print number" becomes the
// opposite, and is enabled only while the barcode is not printed; then the
// product-code rule.
void PrintItemBarcodeChanged(TBarcodeBoxes& boxes);
// After "Only print number" changed: the product-code rule.
void OnlyPrintNumberChanged(TBarcodeBoxes& boxes);
// The three boxes of a new dialog (all unchecked and enabled) set from the
// settings in the dialog's order (print barcode, product code, only number),
// each change running its rule as a click would, then the product-code rule.
TBarcodeBoxes BarcodeBoxesFor(const TConfig& config);

// The printer field for the settings: "N/A" and the installed queues; the
// configured queue selected, or an address shown as it stands (no
// selection), or "N/A" when the configured queue is no longer installed.
struct TPrinterChoice {
  std::vector<std::string> Items;
  int Selected = 0;        // index into Items; -1 when EditText is shown instead
  std::string EditText;    // the configured printer address
  std::string Vanished;    // the configured queue that is no longer installed
};
TPrinterChoice ChoosePrinter(const std::string& configured, const std::vector<std::string>& installed);

// The line under the printer field: a vanished queue replaced by "N/A", or a
// typed name that is neither a queue nor an address; empty otherwise.
// fieldText: the field's text with blanks removed.
std::string PrinterStatusText(const std::string& fieldText, const std::vector<std::string>& installed,
                              const std::string& vanished);

// The selection of a language list for a stored number: -1 (none) when the
// number is not one of the count items.
int LanguageSelection(int stored, int count);

// What the dialog's fields hold when Save is pressed. The shop's URL, key
// and secret and the printer field are given with their blanks removed.
struct TSetupFields {
  std::string ServerName, DatabaseName, Url, Key, Secret, Printer, WarehouseCode;
  bool GraphicMode = false, PrintItemBarcode = false, ProductCodeAsBarcode = false, OnlyPrintNumber = false,
       PrintLocation = false;
  int Desc[4] = {0, 0, 0, 0};
};
// The settings a Save writes: before with the fields copied in (an empty
// printer field means "N/A"); Debug and the rest stay as they were.
TConfig SettingsFromFields(const TConfig& before, const TSetupFields& fields);

// text without leading and trailing blanks (spaces, tabs, line ends).
std::string TrimBlanks(const std::string& text);

}  // namespace ooa
