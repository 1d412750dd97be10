// The Win32 window under Wine, over a real scheduler and controller with a
// backend whose connection succeeds or fails: the buttons and the tray menu
// follow the service's state, log lines of worker threads reach the log box
// in order, and the settings dialog's check boxes and Save go through the
// shared rules. Wine makes windows only with a display (run the tests under
// xvfb-run); without one they are skipped.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "gui/win/WinConfigurationForm.h"
#include "gui/win/WinControlThread.h"
#include "gui/win/WinMainForm.h"
#include "gui/win/WinUi.h"
#include "service/ServiceBackend.h"
#include "service/ServiceController.h"
#include "service/SyncScheduler.h"
#include "support/TempDir.h"

namespace ooa::test {
namespace {

class TFakeBackend : public IServiceBackend {
 public:
  bool ConnectSucceeds = true;
  bool IsConnected = false;
  bool Connected() override { return IsConnected; }
  bool ConnectToServer() override { return IsConnected = ConnectSucceeds; }
  void ReadPrintParams() override {}
  void InitShop() override {}
  bool TakeAppLock() override { return true; }
  void ReleaseAppLock() override {}
};

struct TSettings {
  TTempDir Dir;
  explicit TSettings(const std::string& content) {
    Dir.Write("OnlineService.ini", content);
    SetConfigPath(Dir.File("OnlineService.ini"));
    SetConfig(TConfig{});
    LoadConfig();
  }
  ~TSettings() { SetConfigPath(""); }
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// False under Wine without a display, where no window can be made.
bool WindowsCanBeMade() {
  HWND probe = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!probe) return false;
  DestroyWindow(probe);
  return true;
}
#define SKIP_WITHOUT_WINDOWS() \
  if (!WindowsCanBeMade()) GTEST_SKIP() << "no window can be made here (Wine without a display)"

bool MenuEnabled(HMENU menu, UINT id) { return !(GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)); }

struct WinWindowTest : ::testing::Test {
  TSettings Settings{"[ApiConfig]\r\nServerName=(EMBEDDED)\r\nDatabaseName=pos.db\r\n"};
  TFakeBackend Backend;
  win::TWinControlThread Control;
  TSyncScheduler Scheduler{Control, [] {}, [] {}};
  TServiceController Controller{Backend, Scheduler};
  std::unique_ptr<win::TWinMainForm> Form;

  void Create() {
    ASSERT_TRUE(WindowsCanBeMade());
    Form = std::make_unique<win::TWinMainForm>(Controller, [] {});
    Form->FormCreate();
  }
  void ExpectButtons(bool start, bool stop) const {
    EXPECT_EQ(IsWindowEnabled(Form->StartServiceButton) != FALSE, start);
    EXPECT_EQ(IsWindowEnabled(Form->StopServiceButton) != FALSE, stop);
    EXPECT_EQ(MenuEnabled(Form->PopupMenu, win::TWinMainForm::kStartServiceMenuId), start);
    EXPECT_EQ(MenuEnabled(Form->PopupMenu, win::TWinMainForm::kStopServiceMenuId), stop);
  }
  std::string Log() const { return win::TextOf(Form->InfoMemo); }
  void SetUp() override { SKIP_WITHOUT_WINDOWS(); }
  void TearDown() override {
    Controller.StopService();
    Form.reset();
  }
};

TEST_F(WinWindowTest, ButtonsAndTrayMenuFollowTheServiceState) {
  Create();
  ExpectButtons(false, true);  // connected and running
  EXPECT_NE(Log().find("Sync Service Started"), std::string::npos);
  SendMessageW(Form->Handle, WM_COMMAND, MAKEWPARAM(win::TWinMainForm::kStopId, BN_CLICKED), 0);
  ExpectButtons(true, false);
  // The tray menu's Start Service starts it again.
  SendMessageW(Form->Handle, WM_COMMAND, MAKEWPARAM(win::TWinMainForm::kStartServiceMenuId, 0), 0);
  ExpectButtons(false, true);
}

TEST_F(WinWindowTest, AFailedConnectionLeavesBothButtonsEnabled) {
  Backend.ConnectSucceeds = false;
  Create();
  ExpectButtons(true, true);
  EXPECT_NE(Log().find("Error: Can not connect to SQL Server database."), std::string::npos);
}

TEST_F(WinWindowTest, LinesOfWorkerThreadsReachTheLogInOrder) {
  Create();
  ActivityLog().Clear();
  std::thread worker([] {
    for (int i = 0; i < 50; ++i) StatusLine("line " + std::to_string(i));
  });
  worker.join();
  Pump();
  std::string expected;
  for (int i = 0; i < 50; ++i) expected += (i ? "\r\n" : "") + std::string("line ") + std::to_string(i);
  EXPECT_EQ(Log(), expected);
}

TEST_F(WinWindowTest, MinimiseHidesIntoTheTrayAndClosingAsksFirst) {
  Create();
  int asked = 0, closed = 0;
  bool answer = false;
  Form->ConfirmClose = [&] { ++asked; return answer; };
  Form->Closed = [&] { ++closed; };
  ShowWindow(Form->Handle, SW_SHOW);
  SendMessageW(Form->Handle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(IsWindowVisible(Form->Handle) != FALSE, !Form->TrayShown());
  EXPECT_FALSE(IsIconic(Form->Handle) && Form->TrayShown());

  SendMessageW(Form->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box, answered No
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(closed, 0);
  EXPECT_TRUE(IsWindow(Form->Handle));
  answer = true;
  SendMessageW(Form->Handle, WM_COMMAND, MAKEWPARAM(win::TWinMainForm::kExitId, BN_CLICKED), 0);
  EXPECT_EQ(asked, 2);  // asked once, not again by the close it makes
  EXPECT_EQ(closed, 1);
}

TEST(WinConfigurationFormTest, CheckBoxClicksAndSaveGoThroughTheRules) {
  SKIP_WITHOUT_WINDOWS();
  TSettings settings(
      "[ApiConfig]\r\nServerName=SRV\r\nPrinterName=Gone-Printer\r\nPrintItemBarcode=1\r\n"
      "PrintProductCodeAsBarcode=1\r\nDesc1=1\r\nDesc2=7\r\nDebug=1\r\n");
  int reinits = 0;
  win::TWinConfigurationForm form(nullptr, [&] { ++reinits; }, [] { return std::vector<std::string>{"Receipt-80mm"}; });
  form.Show();
  auto state = [](HWND box) {
    return std::pair{SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED, IsWindowEnabled(box) != FALSE};
  };
  using S = std::pair<bool, bool>;
  EXPECT_EQ(state(form.OnlyPrintNumberAsBarcodeCheckBox), (S{false, false}));
  EXPECT_EQ(state(form.ProductCodeAsBarcodeCheckBox), (S{true, true}));
  EXPECT_EQ(win::TextOf(form.PrinterStatusLabel),
            "The printer \"Gone-Printer\" is no longer installed: N/A (no receipts) is set.");

  // A click as the user makes it: the box toggles, then its rule runs.
  SendMessageW(form.PrintItemBarcodeCheckBox, BM_CLICK, 0, 0);
  EXPECT_EQ(state(form.PrintItemBarcodeCheckBox), (S{false, true}));
  EXPECT_EQ(state(form.OnlyPrintNumberAsBarcodeCheckBox), (S{true, true}));
  SendMessageW(form.OnlyPrintNumberAsBarcodeCheckBox, BM_CLICK, 0, 0);
  EXPECT_EQ(state(form.ProductCodeAsBarcodeCheckBox), (S{false, false}));

  win::SetText(form.KeyEdit, "  ck_1 ");
  SendMessageW(form.Handle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(form.ReturnFlag);
  EXPECT_EQ(reinits, 1);
  TConfig saved;
  LoadConfigFrom(ConfigPath(), saved);
  EXPECT_EQ(saved.ServerName, "SRV");
  EXPECT_EQ(saved.Key, "ck_1");
  EXPECT_EQ(saved.PrinterName, "N/A");
  EXPECT_FALSE(saved.PrintItemBarcode);
  EXPECT_FALSE(saved.PrintProductCodeAsBarcode);
  EXPECT_EQ(saved.Desc1, 1);
  EXPECT_EQ(saved.Desc2, -1);
  EXPECT_TRUE(saved.Debug);
}

}  // namespace
}  // namespace ooa::test
