// The main window over a real scheduler and controller with a backend whose
// connection succeeds or fails: button states, status lines, the connect-once
// start, the settings dialog's effect on the log, and the window commands.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <memory>

#include "AppFixture.h"
#include "gui/MainFormUnit.h"
#include "gui/QtControlThread.h"
#include "service/ServiceController.h"
#include "service/SyncScheduler.h"
#include "gui/controls/RoundedGradientButton.h"

namespace ooa::test {
namespace {

struct MainFormTest : ::testing::Test {
  TSettingsFile Settings{"[ApiConfig]\nServerName=(EMBEDDED)\nDatabaseName=pos.db\nUrl=http://127.0.0.1:1/wp-json/wc/v3\n"};
  TFakeBackend Backend;
  TQtControlThread Control;
  TSyncScheduler Scheduler{Control, [] {}, [] {}};
  TServiceController Controller{Backend, Scheduler};
  int ShopReinits = 0;
  std::unique_ptr<TMainForm> Form;

  void Create() {
    Form = std::make_unique<TMainForm>(Controller, [this] { ++ShopReinits; });
    Form->PrinterSource = [] { return std::vector<std::string>{"Receipt-80mm"}; };
    Form->FormCreate();
  }
  QStringList Log() const { return Form->InfoMemo->toPlainText().split('\n', Qt::SkipEmptyParts); }
  void ExpectButtons(bool start, bool stop) const {
    EXPECT_EQ(Form->StartServiceButton->isEnabled(), start);
    EXPECT_EQ(Form->StopServiceButton->isEnabled(), stop);
    EXPECT_EQ(Form->StartServiceMenu->isEnabled(), start);
    EXPECT_EQ(Form->StopServiceMenu->isEnabled(), stop);
  }
};

TEST_F(MainFormTest, ButtonStatesFollowTheServiceStates) {
  Create();
  // Connected, running: only Stop.
  QStringList log = Log();
  ASSERT_EQ(log.size(), 3);
  EXPECT_TRUE(log[0].startsWith("Now: "));
  EXPECT_GT(log[0].mid(5).toLongLong(), 1700000000000LL);
  EXPECT_EQ(log[1], "Connect to SQL Server database successful.");
  EXPECT_EQ(log[2], "Sync Service Started");
  ExpectButtons(false, true);

  // Connected, stopped: only Start.
  Form->StopServiceButton->click();
  EXPECT_EQ(Log().last(), "Sync Service Stoped");
  ExpectButtons(true, false);
  EXPECT_FALSE(Scheduler.TimerEnabled(TPassKind::Catalogue));
  EXPECT_FALSE(Scheduler.TimerEnabled(TPassKind::Order));
}

TEST_F(MainFormTest, StopThenStartKeepsTheConnectionAndArmsOnlyTheCatalogueTimer) {
  Create();
  Form->StopServiceButton->click();
  // The tray menu's Start runs the same action as the button.
  Form->StartServiceMenu->trigger();

  EXPECT_EQ(Log().count("Connect to SQL Server database successful."), 1);
  EXPECT_EQ(Log().last(), "Sync Service Started");
  EXPECT_EQ(Backend.Connects, 1);
  EXPECT_EQ(Backend.PrintParamReads, 1);
  EXPECT_EQ(Backend.ShopInits, 1);
  EXPECT_TRUE(Scheduler.TimerEnabled(TPassKind::Catalogue));
  EXPECT_FALSE(Scheduler.TimerEnabled(TPassKind::Order));
  ExpectButtons(false, true);
}

TEST_F(MainFormTest, AFailedConnectionLeavesBothButtonsEnabledAndStartRetries) {
  Backend.ConnectSucceeds = false;
  Create();
  EXPECT_EQ(Log().last(), "Error: Can not connect to SQL Server database.");
  ExpectButtons(true, true);
  EXPECT_FALSE(Scheduler.ServiceRunning());
  EXPECT_FALSE(Scheduler.TimerEnabled(TPassKind::Catalogue));

  Form->StopServiceButton->click();  // nothing to stop
  EXPECT_EQ(Log().count("Sync Service Stoped"), 0);

  Backend.ConnectSucceeds = true;
  Form->StartServiceButton->click();
  EXPECT_EQ(Backend.Connects, 2);
  EXPECT_EQ(Log().last(), "Sync Service Started");
  ExpectButtons(false, true);
}

TEST_F(MainFormTest, SetupLeavesTheLogAloneOnCancelAndHoldsOnlyTheSaveLineAfterSave) {
  Create();
  const QStringList before = Log();
  const std::string fileBefore = Settings.Text();

  WhenDialogShows([](TConfigurationForm& f) { f.CancelButton->click(); });
  Form->SetupButton->click();
  EXPECT_EQ(Log(), before);
  EXPECT_EQ(Settings.Text(), fileBefore);

  WhenDialogShows([](TConfigurationForm& f) { f.close(); });  // the close box
  Form->SetupButton->click();
  EXPECT_EQ(Log(), before);
  EXPECT_EQ(ShopReinits, 0);

  WhenDialogShows([](TConfigurationForm& f) {
    f.WarehouseCodeEdit->setText("WH2");
    f.SaveButton->click();
  });
  Form->SetupButton->click();
  EXPECT_EQ(Form->InfoMemo->toPlainText(), "Config saved.");
  EXPECT_EQ(ShopReinits, 1);
  EXPECT_EQ(ConfigSnapshot().WarehouseCode, "WH2");
  EXPECT_NE(Settings.Text().find("WarehouseCode=WH2"), std::string::npos);
}

TEST_F(MainFormTest, ExitAndTheCloseBoxAskFirst) {
  Create();
  Form->show();
  int asked = 0, closed = 0;
  bool answer = false;
  Form->ConfirmClose = [&] {
    ++asked;
    return answer;
  };
  QObject::connect(Form.get(), &TMainForm::Closed, [&] { ++closed; });

  Form->ExitButton->click();
  Form->close();
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(closed, 0);
  EXPECT_TRUE(Form->isVisible());

  // The tray icon: a right click hides the window, Open Service Manager brings it back.
  Form->TrayMessage(QSystemTrayIcon::Context);
  EXPECT_FALSE(Form->isVisible());
  Form->OpenMenu->trigger();
  EXPECT_TRUE(Form->isVisible());

  answer = true;
  Form->ExitMenu->trigger();
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(Form->isVisible());
}

TEST_F(MainFormTest, WithoutANotificationAreaMinimiseOnlyMinimises) {
  ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());  // the offscreen platform has none
  Create();
  Form->show();
  Form->showMinimized();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  EXPECT_TRUE(Form->isVisible());
}

}  // namespace
}  // namespace ooa::test
