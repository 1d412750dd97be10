#include "gui/ConfigurationForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QShowEvent>
#include <QSignalBlocker>

#include "config/Config.h"
#include "print/PrinterList.h"
#include "service/SetupDialogLogic.h"
#include "gui/CaseValidator.h"
#include "gui/UiFonts.h"
#include "gui/controls/GradientPanel.h"
#include "gui/controls/RoundedGradientButton.h"

namespace ooa {

namespace {

const QColor kFill(191, 210, 234);
const QColor kBorder(133, 156, 205);

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QGroupBox* Group(QWidget* parent, const QString& title, int x, int y, int w, int h) {
  auto* g = new QGroupBox(title, parent);
  g->setObjectName("ConfigGroup");
  g->setGeometry(x, y, w, h);
  return g;
}

QLabel* Label(QWidget* parent, const QString& text, int x, int y) {
  auto* l = new QLabel(text, parent);
  l->move(x, y);
  l->adjustSize();
  return l;
}

QLineEdit* Edit(QWidget* parent, int x, int y, int maxLength) {
  auto* e = new QLineEdit(parent);
  e->setGeometry(x, y, 306, 21);
  e->setMaxLength(maxLength);
  return e;
}

QCheckBox* Check(QWidget* parent, const QString& text, int x, int y) {
  auto* c = new QCheckBox(text, parent);
  c->move(x, y);
  c->adjustSize();
  return c;
}

QComboBox* LanguageList(QWidget* parent, int x) {
  auto* c = new QComboBox(parent);
  c->addItems({"N/A", "English", QString::fromUtf8("简体中文"), QString::fromUtf8("繁体中文")});
  c->setGeometry(x, 40, 89, 21);
  return c;
}

}  // namespace

TConfigurationForm::TConfigurationForm(QWidget* parent, std::function<void()> reinitShop, TPrinterSource printers)
    : QDialog(parent), ReinitShop(std::move(reinitShop)), Printers(printers ? std::move(printers) : InstalledPrinters) {
  setWindowTitle("Configuration");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::CustomizeWindowHint);
  setFont(WindowFont());

  DatabasePanel = new TGradientPanel(this);
  DatabasePanel->setObjectName("DatabasePanel");
  DatabasePanel->setGeometry(8, 8, 444, 545);
  DatabasePanel->SetColors(kFill, kFill);
  DatabasePanel->SetBorder(kBorder, 2);

  DatabaseGroupBox = Group(DatabasePanel, " Database Settings", 16, 12, 412, 93);
  Label1 = Label(DatabaseGroupBox, "Server", 18, 27);
  Label3 = Label(DatabaseGroupBox, "Database", 18, 57);
  ServerNameEdit = Edit(DatabaseGroupBox, 83, 24, 128);
  ServerNameEdit->setValidator(new TCaseValidator(TCaseValidator::TCase::Upper, ServerNameEdit));
  DatabaseNameEdit = Edit(DatabaseGroupBox, 83, 54, 128);
  DatabaseNameEdit->setValidator(new TCaseValidator(TCaseValidator::TCase::Upper, DatabaseNameEdit));

  GroupBox1 = Group(DatabasePanel, "General Settings", 16, 111, 412, 145);
  Label5 = Label(GroupBox1, "Url", 18, 27);
  Label4 = Label(GroupBox1, "Key", 18, 54);
  Label6 = Label(GroupBox1, "Secret", 18, 82);
  Label2 = Label(GroupBox1, "Warehouse", 18, 108);
  UrlEdit = Edit(GroupBox1, 83, 24, 128);
  UrlEdit->setValidator(new TCaseValidator(TCaseValidator::TCase::Lower, UrlEdit));
  KeyEdit = Edit(GroupBox1, 83, 51, 128);
  SecretEdit = Edit(GroupBox1, 83, 78, 128);
  WarehouseCodeEdit = Edit(GroupBox1, 83, 105, 64);

  GroupBox2 = Group(DatabasePanel, " Printer ", 16, 262, 412, 131);
  PrinterComboBox = new QComboBox(GroupBox2);
  PrinterComboBox->setGeometry(18, 22, 371, 21);
  // A list that also takes a typed printer address; typing adds no item.
  PrinterComboBox->setEditable(true);
  PrinterComboBox->setInsertPolicy(QComboBox::NoInsert);
  PrinterComboBox->lineEdit()->setPlaceholderText("N/A, a print queue, socket://host:port, file:, pdf: or /dev/...");
  PrintItemBarcodeCheckBox = Check(GroupBox2, "Print item barcode on receipt", 18, 49);
  OnlyPrintNumberAsBarcodeCheckBox = Check(GroupBox2, "Only print number as barcode", 225, 49);
  ProductCodeAsBarcodeCheckBox = Check(GroupBox2, "If barcode is null, print product code as barcode", 18, 76);
  GraphicModeCheckBox = Check(GroupBox2, "Graphic Mode", 302, 76);
  PrintLocationCheckBox = Check(GroupBox2, "Print item location on receipt", 18, 99);

  GroupBox3 = Group(DatabasePanel, "Multi-Language", 16, 399, 412, 73);
  Label7 = Label(GroupBox3, "Description1", 18, 21);
  Label8 = Label(GroupBox3, "Description2", 113, 21);
  Label9 = Label(GroupBox3, "Description3", 208, 21);
  Label10 = Label(GroupBox3, "Description4", 303, 21);
  Desc1ComboBox = LanguageList(GroupBox3, 18);
  Desc2ComboBox = LanguageList(GroupBox3, 113);
  Desc3ComboBox = LanguageList(GroupBox3, 208);
  Desc4ComboBox = LanguageList(GroupBox3, 303);

  // The status line, under the buttons at the foot of the panel.
  PrinterStatusLabel = new QLabel(this);
  PrinterStatusLabel->setObjectName("PrinterStatusLabel");
  PrinterStatusLabel->setGeometry(18, 537, 424, 14);
  PrinterStatusLabel->setStyleSheet("color: #7a1f00; background: transparent;");
  connect(PrinterComboBox, &QComboBox::editTextChanged, this, [this] { UpdatePrinterStatus(); });

  SaveButton = new TRoundedGradientButton("Save", this);
  SaveButton->setGeometry(107, 495, 100, 40);
  CancelButton = new TRoundedGradientButton("Cancel", this, TButtonScheme::Silver);
  CancelButton->setGeometry(249, 495, 100, 40);

  // Tab order: database fields; Warehouse, Url, Key, Secret; the printer box;
  // the languages; Save, Cancel.
  QWidget* order[] = {ServerNameEdit, DatabaseNameEdit, WarehouseCodeEdit, UrlEdit, KeyEdit, SecretEdit,
                      PrinterComboBox, PrintItemBarcodeCheckBox, OnlyPrintNumberAsBarcodeCheckBox,
                      ProductCodeAsBarcodeCheckBox, PrintLocationCheckBox, GraphicModeCheckBox,
                      Desc1ComboBox, Desc2ComboBox, Desc3ComboBox, Desc4ComboBox, SaveButton, CancelButton};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  // toggled, not clicked: setting a box from the settings runs its rule too,
  // as a click would.
  connect(PrintItemBarcodeCheckBox, &QCheckBox::toggled, this, [this] { PrintItemBarcodeCheckBoxClick(); });
  connect(OnlyPrintNumberAsBarcodeCheckBox, &QCheckBox::toggled, this,
          [this] { OnlyPrintNumberAsBarcodeCheckBoxClick(); });
  connect(SaveButton, &QPushButton::clicked, this, [this] { SaveButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
  SaveButton->setDefault(true);

  // The client area: the panel with an 8-pixel margin (about 470 x 583 with
  // the window frame).
  setFixedSize(460, 561);
}

void TConfigurationForm::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

TBarcodeBoxes TConfigurationForm::Boxes() const {
  auto state = [](const QCheckBox* box) { return TCheckState{box->isChecked(), box->isEnabled()}; };
  return {state(PrintItemBarcodeCheckBox), state(OnlyPrintNumberAsBarcodeCheckBox),
          state(ProductCodeAsBarcodeCheckBox)};
}

void TConfigurationForm::SetBoxes(const TBarcodeBoxes& b) {
  // The rules have run already: setting the boxes runs none again.
  auto set = [](QCheckBox* box, const TCheckState& s) {
    const QSignalBlocker quiet(box);
    box->setEnabled(s.Enabled);
    box->setChecked(s.Checked);
  };
  set(PrintItemBarcodeCheckBox, b.PrintItemBarcode);
  set(OnlyPrintNumberAsBarcodeCheckBox, b.OnlyPrintNumber);
  set(ProductCodeAsBarcodeCheckBox, b.ProductCodeAsBarcode);
}

void TConfigurationForm::PrintItemBarcodeCheckBoxClick() {
  TBarcodeBoxes b = Boxes();
  PrintItemBarcodeChanged(b);
  SetBoxes(b);
}

void TConfigurationForm::OnlyPrintNumberAsBarcodeCheckBoxClick() {
  TBarcodeBoxes b = Boxes();
  OnlyPrintNumberChanged(b);
  SetBoxes(b);
}

void TConfigurationForm::FormShow() {
  const TConfig c = ConfigSnapshot();
  ServerNameEdit->setText(Q(c.ServerName));
  DatabaseNameEdit->setText(Q(c.DatabaseName));
  UrlEdit->setText(Q(c.Url));
  KeyEdit->setText(Q(c.Key));
  SecretEdit->setText(Q(c.Secret));
  WarehouseCodeEdit->setText(Q(c.WarehouseCode));

  PrintLocationCheckBox->setChecked(c.PrintItemLocation);
  SetBoxes(BarcodeBoxesFor(c));

  // The queues; an address is shown as it stands; a queue that is gone
  // becomes "N/A" (receipts would otherwise go to the default queue).
  ListedPrinters = Printers();
  const TPrinterChoice choice = ChoosePrinter(c.PrinterName, ListedPrinters);
  PrinterComboBox->clear();
  for (auto& n : choice.Items) PrinterComboBox->addItem(Q(n));
  VanishedPrinter = choice.Vanished;
  PrinterComboBox->setCurrentIndex(choice.Selected);
  if (choice.Selected < 0) PrinterComboBox->setEditText(Q(choice.EditText));
  UpdatePrinterStatus();

  GraphicModeCheckBox->setChecked(c.GraphicMode);

  // A selection outside the list shows no selection (and saves as -1).
  auto select = [](QComboBox* box, int item) { box->setCurrentIndex(LanguageSelection(item, box->count())); };
  select(Desc1ComboBox, c.Desc1);
  select(Desc2ComboBox, c.Desc2);
  select(Desc3ComboBox, c.Desc3);
  select(Desc4ComboBox, c.Desc4);
}

void TConfigurationForm::SaveButtonClick() {
  const TConfig before = ConfigSnapshot();  // Debug is kept as loaded
  TSetupFields f;
  f.ServerName = S(ServerNameEdit->text());
  f.DatabaseName = S(DatabaseNameEdit->text());
  f.Url = S(UrlEdit->text().trimmed());
  f.Key = S(KeyEdit->text().trimmed());
  f.Secret = S(SecretEdit->text().trimmed());
  f.Printer = S(PrinterComboBox->currentText().trimmed());  // empty: no printer
  f.GraphicMode = GraphicModeCheckBox->isChecked();
  f.PrintItemBarcode = PrintItemBarcodeCheckBox->isChecked();
  f.ProductCodeAsBarcode = ProductCodeAsBarcodeCheckBox->isChecked();
  f.OnlyPrintNumber = OnlyPrintNumberAsBarcodeCheckBox->isChecked();
  f.PrintLocation = PrintLocationCheckBox->isChecked();
  f.WarehouseCode = S(WarehouseCodeEdit->text());
  f.Desc[0] = Desc1ComboBox->currentIndex();
  f.Desc[1] = Desc2ComboBox->currentIndex();
  f.Desc[2] = Desc3ComboBox->currentIndex();
  f.Desc[3] = Desc4ComboBox->currentIndex();
  const TConfig c = SettingsFromFields(before, f);

  SetConfig(c);
  try {
    SaveConfig();
  } catch (const std::exception& e) {
    // The file could not be written: keep the old settings in force and the
    // dialog open with what the user typed, so nothing is lost.
    SetConfig(before);
    QMessageBox::critical(this, windowTitle(), QString::fromStdString(e.what()));
    return;
  }
  if (ReinitShop) ReinitShop();
  ReturnFlag = true;
  accept();
}

void TConfigurationForm::UpdatePrinterStatus() {
  const QString status =
      Q(PrinterStatusText(S(PrinterComboBox->currentText().trimmed()), ListedPrinters, VanishedPrinter));
  PrinterStatusLabel->setText(status);
  PrinterStatusLabel->setToolTip(status);
}

void TConfigurationForm::CancelButtonClick() {
  ReturnFlag = false;
  reject();
}

bool SetupPro(QWidget* parent, std::function<void()> reinitShop, TConfigurationForm::TPrinterSource printers) {
  TConfigurationForm form(parent, std::move(reinitShop), std::move(printers));
  form.exec();
  return form.ReturnFlag;
}

}  // namespace ooa
