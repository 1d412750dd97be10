#include "service/SetupDialogLogic.h"

#include "config/UtilUnit.h"
#include "print/PrinterOutput.h"

namespace ooa {

void ApplyProductCodeRule(TBarcodeBoxes& b) {
  const bool enabled = b.PrintItemBarcode.Checked || b.OnlyPrintNumber.Checked;
  b.ProductCodeAsBarcode.Enabled = enabled;
  if (!enabled) b.ProductCodeAsBarcode.Checked = false;
}

void PrintItemBarcodeChanged(TBarcodeBoxes& b) {
  const bool printBarcode = b.PrintItemBarcode.Checked;
  b.OnlyPrintNumber.Checked = !printBarcode;
  b.OnlyPrintNumber.Enabled = !printBarcode;
  ApplyProductCodeRule(b);
}

void OnlyPrintNumberChanged(TBarcodeBoxes& b) { ApplyProductCodeRule(b); }

TBarcodeBoxes BarcodeBoxesFor(const TConfig& c) {
  TBarcodeBoxes b;
  if (b.PrintItemBarcode.Checked != c.PrintItemBarcode) {
    b.PrintItemBarcode.Checked = c.PrintItemBarcode;
    PrintItemBarcodeChanged(b);
  }
  b.ProductCodeAsBarcode.Checked = c.PrintProductCodeAsBarcode;
  if (b.OnlyPrintNumber.Checked != c.OnlyPrintNumberAsBarcode) {
    b.OnlyPrintNumber.Checked = c.OnlyPrintNumberAsBarcode;
    OnlyPrintNumberChanged(b);
  }
  ApplyProductCodeRule(b);
  return b;
}

TPrinterChoice ChoosePrinter(const std::string& configured, const std::vector<std::string>& installed) {
  TPrinterChoice choice;
  choice.Items.push_back("N/A");
  choice.Items.insert(choice.Items.end(), installed.begin(), installed.end());
  const int selected = IndexOfString(choice.Items, configured);
  if (selected >= 0) {
    choice.Selected = selected;
  } else if (IsPrinterAddress(configured)) {
    // An address is shown as it stands.
    choice.Selected = -1;
    choice.EditText = configured;
  } else {
    // A queue that is gone becomes "N/A" (receipts would otherwise go to the
    // default queue).
    if (!configured.empty()) choice.Vanished = configured;
    choice.Selected = 0;
  }
  return choice;
}

std::string PrinterStatusText(const std::string& text, const std::vector<std::string>& installed,
                              const std::string& vanished) {
  if (!vanished.empty() && (text == "N/A" || text.empty()))
    return "The printer \"" + vanished + "\" is no longer installed: N/A (no receipts) is set.";
  if (!text.empty() && text != "N/A" && !IsPrinterAddress(text) && IndexOfString(installed, text) < 0)
    return "\"" + text + "\" is not an installed printer: receipts would go to the default printer.";
  return "";
}

int LanguageSelection(int stored, int count) { return stored >= 0 && stored < count ? stored : -1; }

TConfig SettingsFromFields(const TConfig& before, const TSetupFields& f) {
  TConfig c = before;
  c.ServerName = f.ServerName;
  c.DatabaseName = f.DatabaseName;
  c.Url = f.Url;
  c.Key = f.Key;
  c.Secret = f.Secret;
  c.PrinterName = f.Printer.empty() ? "N/A" : f.Printer;
  c.GraphicMode = f.GraphicMode;
  c.PrintItemBarcode = f.PrintItemBarcode;
  c.PrintProductCodeAsBarcode = f.ProductCodeAsBarcode;
  c.OnlyPrintNumberAsBarcode = f.OnlyPrintNumber;
  c.PrintItemLocation = f.PrintLocation;
  c.WarehouseCode = f.WarehouseCode;
  c.Desc1 = f.Desc[0];
  c.Desc2 = f.Desc[1];
  c.Desc3 = f.Desc[2];
  c.Desc4 = f.Desc[3];
  return c;
}

std::string TrimBlanks(const std::string& text) {
  const char* blanks = " \t\r\n\v\f";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace ooa
