// The settings dialog: the check box rules, filling from the settings and
// saving back (trimmed credentials, every kind of printer kept, a vanished
// queue, language out of range, Debug kept), the letter case and length of what is typed, and a save that
// cannot write the file.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <sys/stat.h>

#include "AppFixture.h"
#include "gui/controls/RoundedGradientButton.h"

namespace ooa::test {
namespace {

std::vector<std::string> TwoPrinters() { return {"Receipt-80mm", "Office-Laser"}; }

struct TBoxState {
  bool Checked, Enabled;
  bool operator==(const TBoxState&) const = default;
};
std::ostream& operator<<(std::ostream& os, const TBoxState& s) {
  return os << (s.Checked ? "checked" : "unchecked") << "/" << (s.Enabled ? "enabled" : "disabled");
}
TBoxState StateOf(QCheckBox* box) { return {box->isChecked(), box->isEnabled()}; }

struct TDialog {
  TConfigurationForm Form{nullptr, [this] { ++Reinits; }, TwoPrinters};
  int Reinits = 0;
  TDialog() { Form.show(); }
  ~TDialog() { Form.hide(); }
  TBoxState PrintBarcode() { return StateOf(Form.PrintItemBarcodeCheckBox); }
  TBoxState OnlyNumber() { return StateOf(Form.OnlyPrintNumberAsBarcodeCheckBox); }
  TBoxState ProductCode() { return StateOf(Form.ProductCodeAsBarcodeCheckBox); }
};

std::string Flags(bool printBarcode, bool onlyNumber, bool productCode) {
  return std::string("[ApiConfig]\nPrintItemBarcode=") + (printBarcode ? "1" : "0") +
         "\nOnlyPrintNumberAsBarcode=" + (onlyNumber ? "1" : "0") +
         "\nPrintProductCodeAsBarcode=" + (productCode ? "1" : "0") + "\n";
}

TEST(ConfigurationFormTest, CheckBoxesAsShownFromTheSettings) {
  const TBoxState on{true, true}, off{false, true}, offDisabled{false, false}, onDisabled{true, false};
  struct {
    bool PrintBarcode, OnlyNumber, ProductCode;
    TBoxState ExpectOnlyNumber, ExpectProductCode;
  } rows[] = {
      // Printing the barcode rules out "only the number": shown unchecked, disabled.
      {true, false, true, offDisabled, on},
      {true, false, false, offDisabled, off},
      // The box is set after the rule ran, so a stored true shows checked but disabled.
      {true, true, true, onDisabled, on},
      // Neither barcode option: the product-code option is disabled and cleared.
      {false, false, true, off, offDisabled},
      {false, true, true, on, on},
      {false, true, false, on, off},
  };
  for (const auto& r : rows) {
    TSettingsFile settings(Flags(r.PrintBarcode, r.OnlyNumber, r.ProductCode));
    TDialog d;
    SCOPED_TRACE(Flags(r.PrintBarcode, r.OnlyNumber, r.ProductCode));
    EXPECT_EQ(d.PrintBarcode(), (TBoxState{r.PrintBarcode, true}));
    EXPECT_EQ(d.OnlyNumber(), r.ExpectOnlyNumber);
    EXPECT_EQ(d.ProductCode(), r.ExpectProductCode);
  }
}

TEST(ConfigurationFormTest, ClicksFollowTheBarcodeRules) {
  TSettingsFile settings(Flags(true, false, true));
  TDialog d;
  struct {
    QCheckBox* Box;
    TBoxState PrintBarcode, OnlyNumber, ProductCode;
  } steps[] = {
      // Unchecking "print barcode" offers "only the number", checked.
      {d.Form.PrintItemBarcodeCheckBox, {false, true}, {true, true}, {true, true}},
      // Unchecking "only the number" leaves no barcode: product code off.
      {d.Form.OnlyPrintNumberAsBarcodeCheckBox, {false, true}, {false, true}, {false, false}},
      {d.Form.OnlyPrintNumberAsBarcodeCheckBox, {false, true}, {true, true}, {false, true}},
      {d.Form.PrintItemBarcodeCheckBox, {true, true}, {false, false}, {false, true}},
  };
  int n = 0;
  for (const auto& s : steps) {
    SCOPED_TRACE("step " + std::to_string(++n));
    s.Box->click();
    EXPECT_EQ(d.PrintBarcode(), s.PrintBarcode);
    EXPECT_EQ(d.OnlyNumber(), s.OnlyNumber);
    EXPECT_EQ(d.ProductCode(), s.ProductCode);
  }
}

TEST(ConfigurationFormTest, SavingWritesBackWhatItShowedAndTrimsTheShopCredentials) {
  TSettingsFile settings(
      "[ApiConfig]\nServerName=(EMBEDDED)\nDatabaseName=pos.db\nUrl=https://shop.example/wp-json/wc/v3\n"
      "PrinterName=Gone-Printer\nGraphicMode=1\nPrintItemBarcode=1\n"
      "WarehouseCode=W1\nDesc1=1\nDesc2=7\nDesc3=3\nDesc4=0\nDebug=1\n");
  TDialog d;
  EXPECT_EQ(d.Form.PrinterComboBox->currentText(), "N/A");
  EXPECT_EQ(d.Form.PrinterComboBox->count(), 3);
  EXPECT_EQ(d.Form.Desc2ComboBox->currentIndex(), -1);
  EXPECT_TRUE(d.Form.GraphicModeCheckBox->isChecked());
  // Blanks around the shop's credentials go; the warehouse is kept as typed.
  d.Form.KeyEdit->setText(" ck_1 ");
  d.Form.SecretEdit->setText("cs_2  ");
  d.Form.UrlEdit->setText("  https://shop.example/wp-json/wc/v3 ");
  d.Form.WarehouseCodeEdit->setText(" W1");

  d.Form.SaveButton->click();
  EXPECT_TRUE(d.Form.ReturnFlag);
  EXPECT_EQ(d.Reinits, 1);
  const TConfig now = ConfigSnapshot();
  EXPECT_EQ(now.Url, "https://shop.example/wp-json/wc/v3");
  EXPECT_EQ(now.Key, "ck_1");
  EXPECT_EQ(now.Secret, "cs_2");
  EXPECT_EQ(now.WarehouseCode, " W1");

  TConfig saved;
  LoadConfigFrom(settings.Path, saved);
  EXPECT_EQ(saved.ServerName, "(EMBEDDED)");
  EXPECT_EQ(saved.Key, "ck_1");
  EXPECT_EQ(saved.PrinterName, "N/A");
  EXPECT_TRUE(saved.GraphicMode);
  EXPECT_EQ(saved.Desc1, 1);
  EXPECT_EQ(saved.Desc2, -1);
  EXPECT_EQ(saved.Desc3, 3);
  EXPECT_TRUE(saved.Debug);  // no control of its own: kept as loaded
}

// Every kind of printer survives a save that changed something else; only a
// queue that is no longer installed becomes "N/A", and the dialog says so.
TEST(ConfigurationFormTest, SavingKeepsEveryKindOfPrinter) {
  const struct {
    const char* Case;
    std::string Printer, Shown, Saved, Status;
  } cases[] = {
      {"an installed queue", "Office-Laser", "Office-Laser", "Office-Laser", ""},
      {"a network printer", "socket://192.168.1.50:9100", "socket://192.168.1.50:9100", "socket://192.168.1.50:9100", ""},
      {"a capture file", "file:/var/spool/receipts.bin", "file:/var/spool/receipts.bin", "file:/var/spool/receipts.bin",
       ""},
      {"a PDF folder", "pdf:/home/shop/receipts/", "pdf:/home/shop/receipts/", "pdf:/home/shop/receipts/", ""},
      {"a USB printer", "/dev/usb/lp0", "/dev/usb/lp0", "/dev/usb/lp0", ""},
      {"no printer", "N/A", "N/A", "N/A", ""},
      {"a queue that is gone", "Old-Queue", "N/A", "N/A",
       "The printer \"Old-Queue\" is no longer installed: N/A (no receipts) is set."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    TSettingsFile settings("[ApiConfig]\nUrl=https://old.example/wp-json/wc/v3\nPrinterName=" + c.Printer + "\n");
    TDialog d;
    EXPECT_EQ(d.Form.PrinterComboBox->currentText().toStdString(), c.Shown);
    EXPECT_EQ(d.Form.PrinterStatusLabel->text().toStdString(), c.Status);
    d.Form.UrlEdit->setText("https://new.example/wp-json/wc/v3");
    d.Form.SaveButton->click();
    TConfig saved;
    LoadConfigFrom(settings.Path, saved);
    EXPECT_EQ(saved.Url, "https://new.example/wp-json/wc/v3");
    EXPECT_EQ(saved.PrinterName, c.Saved);
  }
}

// A printer address typed into the field is saved as typed; an empty field
// is no printer; a name that is no queue is saved but the dialog warns.
TEST(ConfigurationFormTest, TypedPrinterIsSavedAsTyped) {
  const struct {
    QString Typed;
    std::string Saved, Status;
  } cases[] = {
      {"socket://10.0.0.7:9100", "socket://10.0.0.7:9100", ""},
      {"  pdf:/tmp/receipts/ ", "pdf:/tmp/receipts/", ""},
      {"", "N/A", ""},
      {"Kitchen", "Kitchen", "\"Kitchen\" is not an installed printer: receipts would go to the default printer."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Typed.toStdString());
    TSettingsFile settings("[ApiConfig]\nPrinterName=Receipt-80mm\n");
    TDialog d;
    d.Form.PrinterComboBox->lineEdit()->selectAll();
    QTest::keyClicks(d.Form.PrinterComboBox->lineEdit(), c.Typed);
    if (c.Typed.isEmpty()) d.Form.PrinterComboBox->lineEdit()->clear();
    EXPECT_EQ(d.Form.PrinterStatusLabel->text().toStdString(), c.Status);
    d.Form.SaveButton->click();
    TConfig saved;
    LoadConfigFrom(settings.Path, saved);
    EXPECT_EQ(saved.PrinterName, c.Saved);
  }
}

TEST(ConfigurationFormTest, TypedTextTakesTheFieldsLetterCaseAndLength) {
  TSettingsFile settings;
  TDialog d;
  struct {
    QLineEdit* Edit;
    QString Typed, Expected;
  } rows[] = {
      {d.Form.ServerNameEdit, "sql01\\pos", "SQL01\\POS"},
      {d.Form.DatabaseNameEdit, "Tillora_Db", "TILLORA_DB"},
      {d.Form.UrlEdit, "HTTPS://Shop.Example/WP-JSON", "https://shop.example/wp-json"},
      {d.Form.KeyEdit, "ck_AbC", "ck_AbC"},
      {d.Form.WarehouseCodeEdit, QString(70, 'w'), QString(64, 'w')},
      {d.Form.SecretEdit, QString(130, 'S'), QString(128, 'S')},
  };
  for (auto& r : rows) {
    r.Edit->clear();
    QTest::keyClicks(r.Edit, r.Typed);
    EXPECT_EQ(r.Edit->text(), r.Expected) << r.Typed.toStdString();
  }
}

TEST(ConfigurationFormTest, ASaveThatCannotWriteKeepsTheOldSettingsAndTheDialogOpen) {
  TSettingsFile settings("[ApiConfig]\nWarehouseCode=OLD\n");
  // A folder where the file should be: the settings file cannot be written.
  TTempDir dir;
  const std::string blocked = dir.File("OnlineService.ini");
  ASSERT_EQ(mkdir(blocked.c_str(), 0700), 0);
  SetConfigPath(blocked);

  TDialog d;
  d.Form.WarehouseCodeEdit->setText("NEW");
  QTimer::singleShot(0, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
  });
  d.Form.SaveButton->click();
  EXPECT_FALSE(d.Form.ReturnFlag);
  EXPECT_TRUE(d.Form.isVisible());
  EXPECT_EQ(d.Reinits, 0);
  EXPECT_EQ(ConfigSnapshot().WarehouseCode, "OLD");
  EXPECT_EQ(d.Form.WarehouseCodeEdit->text(), "NEW");
}

// The file holds the API secret: the dialog's first save creates it readable
// by its owner only, whatever the process's umask.
TEST(ConfigurationFormTest, FirstSaveCreatesTheSettingsFileForItsOwnerOnly) {
  TSettingsFile settings;  // no file yet
  const mode_t previous = umask(0);
  TDialog d;
  d.Form.SecretEdit->setText("cs_first_save");
  d.Form.SaveButton->click();
  umask(previous);

  struct stat st{};
  ASSERT_EQ(stat(settings.Path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  TConfig saved;
  LoadConfigFrom(settings.Path, saved);
  EXPECT_EQ(saved.Secret, "cs_first_save");
}

}  // namespace
}  // namespace ooa::test
