// TWinConfigurationForm: the settings dialog of the Win32 edition. Shows the
// current settings, and on Save copies them into the process-wide record,
// writes the settings file and re-initialises the shop channels. Nothing is
// validated; the rules (check boxes, printer field, what a Save writes) are
// the shared ones of service/SetupDialogLogic.h.
//
// UI thread only. SetupPro creates the dialog, runs it modally over its owner
// and destroys it; the sync passes may run meanwhile and pick the new
// settings up at their next read.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ooa::win {

using TPrinterSource = std::function<std::vector<std::string>()>;

class TWinConfigurationForm {
 public:
  enum {
    kServerId = 400, kDatabaseId, kWarehouseId, kUrlId, kKeyId, kSecretId, kPrinterId, kPrintBarcodeId,
    kOnlyNumberId, kProductCodeId, kLocationId, kGraphicId, kDesc1Id, kDesc2Id, kDesc3Id, kDesc4Id, kStatusId
  };

  // reinitShop hands the saved URL, key and secret to the shop channels;
  // printers lists the installed printers (InstalledPrinters when unset).
  TWinConfigurationForm(HWND owner, std::function<void()> reinitShop, TPrinterSource printers = nullptr);
  ~TWinConfigurationForm();
  TWinConfigurationForm(const TWinConfigurationForm&) = delete;
  TWinConfigurationForm& operator=(const TWinConfigurationForm&) = delete;

  HWND Handle = nullptr;
  HWND ServerNameEdit, DatabaseNameEdit, WarehouseCodeEdit, UrlEdit, KeyEdit, SecretEdit;
  HWND PrinterComboBox, PrintItemBarcodeCheckBox, OnlyPrintNumberAsBarcodeCheckBox, ProductCodeAsBarcodeCheckBox,
      PrintLocationCheckBox, GraphicModeCheckBox;
  HWND DescComboBox[4];
  HWND PrinterStatusLabel, SaveButton, CancelButton;
  bool ReturnFlag = false;

  // Fills the controls from the settings.
  void FormShow();
  void SaveButtonClick();
  void CancelButtonClick();
  // Shows the dialog and runs it until it closes (Save, Cancel, the close
  // box, Escape); the owner is disabled meanwhile.
  void ShowModal();
  // Shows it without waiting (pictures of it).
  void Show();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle_(UINT msg, WPARAM wp, LPARAM lp);
  void BuildControls();
  void BarcodeBoxClicked(int id);
  void UpdatePrinterStatus();
  std::string PrinterFieldText() const;

  HWND Owner;
  std::function<void()> ReinitShop;
  TPrinterSource Printers;
  std::vector<std::string> ListedPrinters;  // the queues as last listed
  std::string VanishedPrinter;              // the settings' queue that is no longer installed
  HBRUSH PanelBrush = nullptr;
  bool Done = false;
};

// Runs the dialog modally; true when the user saved.
bool SetupPro(HWND owner, std::function<void()> reinitShop, TPrinterSource printers = nullptr);

}  // namespace ooa::win
