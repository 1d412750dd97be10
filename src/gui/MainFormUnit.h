// TMainForm: the service's main window: banner, activity log and beside it
// (a second tab) the problems list, Start, Stop, Setup and Exit, and the tray
// icon with its menu. It commands the service
// controller and shows its state; the two sync timers live in the scheduler
// (ProductSyncTimer = TPassKind::Catalogue, OrderSyncTimer = TPassKind::Order).
//
// UI thread only. The controller, the scheduler and the shop re-initialisation
// are not owned and outlive the window. The window owns its controls, the
// tray icon and the log sink it installs into the activity log.
#pragma once

#include <QSystemTrayIcon>
#include <QWidget>
#include <functional>
#include <memory>

#include "gui/ConfigurationForm.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTabWidget;

namespace ooa {

class TGradientPanel;
class ILogSink;
class TMemoLogSink;
class TProblemsPanel;
class TRoundedGradientButton;
class TServiceController;

class TMainForm : public QWidget {
  Q_OBJECT
 public:
  TMainForm(TServiceController& controller, std::function<void()> reinitShop, QWidget* parent = nullptr);
  ~TMainForm() override;

  QTabWidget* LogTabs;  // "Activity" (InfoMemo) and "Problems" (ProblemsPanel)
  QPlainTextEdit* InfoMemo;
  TProblemsPanel* ProblemsPanel;
  TGradientPanel* VersionPanel;
  QLabel* BannerImage;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* VersionLabel;
  QMenu* PopupMenu;
  QAction* OpenMenu;
  QAction* StopServiceMenu;
  QAction* StartServiceMenu;
  QAction* ExitMenu;
  TRoundedGradientButton* StartServiceButton;
  TRoundedGradientButton* StopServiceButton;
  TRoundedGradientButton* SetupButton;
  TRoundedGradientButton* ExitButton;
  QSystemTrayIcon* TrayIcon;

  // The creation handler: clears the log, shows the tray icon, loads the
  // settings, writes "Now: ..." and starts the service.
  void FormCreate();
  // Errors of the start are shown in a message box.
  void StartService();
  void StopService();
  void SetButtonsStatus();

  void StartServiceButtonClick();
  void StopServiceButtonClick();
  void SetupButtonClick();
  void ExitButtonClick();
  void ExitMenuClick();
  void OpenMenuClick();
  void TrayMessage(QSystemTrayIcon::ActivationReason reason);

  // The sink the window installed into the activity log (its log box).
  ILogSink& LogSink();

  // Asks "Do you want to close this service?" (Yes default); replaceable.
  std::function<bool()> ConfirmClose;
  // The printers the settings dialog lists; InstalledPrinters when unset.
  TConfigurationForm::TPrinterSource PrinterSource;

 signals:
  // The window was closed for good: the program ends.
  void Closed();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildTray();

  TServiceController& Controller;
  std::function<void()> ReinitShop;
  std::unique_ptr<TMemoLogSink> Sink;
  bool CloseConfirmed = false;
};

}  // namespace ooa
