// TConfigurationForm: the settings dialog. Shows the current settings, and on
// Save copies them into the process-wide record, writes the settings file and
// re-initialises the shop channels. Nothing is validated.
//
// The printer field lists "N/A" and the installed print queues and also takes
// a typed value, so a printer address (socket://host:port, file:PATH,
// pdf:PATH, a device path) is shown and saved as it stands. A queue name that
// is no longer installed becomes "N/A", and the status line at the bottom of
// the dialog says so.
//
// UI thread only. SetupPro creates the dialog, shows it modally and destroys
// it; the sync passes may run meanwhile and pick the new settings up at their
// next read.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QShowEvent;

namespace ooa {

struct TBarcodeBoxes;
class TGradientPanel;
class TRoundedGradientButton;

class TConfigurationForm : public QDialog {
  Q_OBJECT
 public:
  using TPrinterSource = std::function<std::vector<std::string>()>;

  // reinitShop hands the saved URL, key and secret to the shop channels.
  // printers lists the installed printers (InstalledPrinters by default).
  TConfigurationForm(QWidget* parent, std::function<void()> reinitShop, TPrinterSource printers = nullptr);

  TGradientPanel* DatabasePanel;
  QGroupBox* DatabaseGroupBox;
  QLabel* Label1;
  QLabel* Label3;
  QLineEdit* ServerNameEdit;
  QLineEdit* DatabaseNameEdit;
  QGroupBox* GroupBox1;
  TRoundedGradientButton* SaveButton;
  TRoundedGradientButton* CancelButton;
  QGroupBox* GroupBox2;
  QComboBox* PrinterComboBox;
  QCheckBox* GraphicModeCheckBox;
  QCheckBox* PrintItemBarcodeCheckBox;
  QCheckBox* ProductCodeAsBarcodeCheckBox;
  QCheckBox* OnlyPrintNumberAsBarcodeCheckBox;
  QCheckBox* PrintLocationCheckBox;
  QLabel* Label2;
  QLineEdit* WarehouseCodeEdit;
  QLineEdit* UrlEdit;
  QLineEdit* KeyEdit;
  QLabel* Label4;
  QLabel* Label5;
  QLineEdit* SecretEdit;
  QGroupBox* GroupBox3;
  QComboBox* Desc1ComboBox;
  QLabel* Label6;
  QComboBox* Desc2ComboBox;
  QComboBox* Desc3ComboBox;
  QComboBox* Desc4ComboBox;
  QLabel* Label7;
  QLabel* Label8;
  QLabel* Label9;
  QLabel* Label10;
  QLabel* PrinterStatusLabel;  // what the printer field's value means, when it needs saying
  bool ReturnFlag = false;

  // Fills the controls from the settings (runs every time the dialog appears).
  void FormShow();
  void SaveButtonClick();
  void CancelButtonClick();
  void PrintItemBarcodeCheckBoxClick();
  void OnlyPrintNumberAsBarcodeCheckBoxClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TBarcodeBoxes Boxes() const;
  void SetBoxes(const TBarcodeBoxes& boxes);
  void UpdatePrinterStatus();
  std::function<void()> ReinitShop;
  std::vector<std::string> ListedPrinters;  // the queues as last listed
  std::string VanishedPrinter;              // the settings' queue that is no longer installed
  TPrinterSource Printers;
};

// Runs the dialog modally; true when the user saved.
bool SetupPro(QWidget* parent, std::function<void()> reinitShop, TConfigurationForm::TPrinterSource printers = nullptr);

}  // namespace ooa
