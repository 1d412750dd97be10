// TMainForm: the tray icon and menu, and the window commands (minimise, close).
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QTimer>

#include "gui/AppArt.h"
#include "gui/MainFormUnit.h"

namespace ooa {

void TMainForm::BuildTray() {
  PopupMenu = new QMenu(this);
  OpenMenu = PopupMenu->addAction("Open Service Manager");
  StopServiceMenu = PopupMenu->addAction("Stop Service");
  StartServiceMenu = PopupMenu->addAction("Start Service");
  ExitMenu = PopupMenu->addAction("Exit");
  connect(OpenMenu, &QAction::triggered, this, [this] { OpenMenuClick(); });
  connect(StopServiceMenu, &QAction::triggered, this, [this] { StopServiceButtonClick(); });
  connect(StartServiceMenu, &QAction::triggered, this, [this] { StartServiceButtonClick(); });
  connect(ExitMenu, &QAction::triggered, this, [this] { ExitMenuClick(); });

  TrayIcon = new QSystemTrayIcon(AppIcon(), this);
  TrayIcon->setToolTip(QApplication::applicationDisplayName());
  // No context menu of its own: a right click hides the window instead.
  connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) { TrayMessage(r); });
}

void TMainForm::TrayMessage(QSystemTrayIcon::ActivationReason reason) {
  if (reason == QSystemTrayIcon::Trigger) {
    activateWindow();
    PopupMenu->popup(QCursor::pos());
  } else if (reason == QSystemTrayIcon::Context) {
    hide();
  }
}

void TMainForm::OpenMenuClick() {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void TMainForm::ExitButtonClick() {
  if (!ConfirmClose()) return;
  CloseConfirmed = true;
  close();
}

void TMainForm::ExitMenuClick() { ExitButtonClick(); }

void TMainForm::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Minimising hides the window into the tray, where there is one; without a
  // notification area it stays an ordinary minimised window, so it can always
  // be reached again.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && QSystemTrayIcon::isSystemTrayAvailable()) {
    QTimer::singleShot(0, this, [this] {
      setWindowState(windowState() & ~Qt::WindowMinimized);
      hide();
    });
  }
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!CloseConfirmed && !ConfirmClose()) {
    event->ignore();
    return;
  }
  CloseConfirmed = true;
  event->accept();
  emit Closed();
}

}  // namespace ooa
