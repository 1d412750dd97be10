// online-order-adaptor: the sync service between the POS database and the
// online shop. Start-up: the single-instance guard, then (with a window) the
// application title and theme, then the database module, the shop module and
// the main window, destroyed in the reverse order. Without a display, or with
// --headless / --once, the same service runs without a window (a build with
// the window still draws page-printer and PDF receipts, on Qt's offscreen
// platform); --once --show-window runs its two passes in the window. On
// Windows the window is the Win32 one of src/gui/win.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "config/ActivityLog.h"
#include "config/Config.h"
#include "config/InstanceGuard.h"
#include "config/ProblemList.h"
#include "db/DatabaseModule.h"
#include "service/HeadlessRunner.h"
#include "service/ProblemStatus.h"
#include "shop/WooModule.h"

#ifndef OOA_WITH_WIN32_WINDOW
#define OOA_WITH_WIN32_WINDOW 0
#endif
#if OOA_WITH_WIN32_WINDOW
#include "gui/win/WinWindow.h"
#endif
#ifdef _WIN32
#include "print/win/GdiCanvasPrinter.h"
#endif

#if OOA_WITH_GUI
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTabWidget>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <thread>

#include "gui/MainFormUnit.h"
#include "gui/QtControlThread.h"
#include "gui/Theme.h"
#include "gui/UiFonts.h"
#include "sync/Passes.h"
#include "service/ServiceBackend.h"
#include "service/ServiceController.h"
#include "service/SyncScheduler.h"
#include "gui/ConfigurationForm.h"
#include "gui/print/QtCanvasPrinter.h"
#endif

namespace {

constexpr const char* kAppTitle = "Tillora Classic Retail Edition - Online Order Adaptor";

bool HasDisplay() {
  if (OOA_WITH_WIN32_WINDOW) return true;  // a Windows desktop always has one
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* v = std::getenv(name);
    if (v && *v) return true;
  }
  return false;
}

#if OOA_WITH_GUI
// Lets the window settle, then grabs it into a PNG file.
bool GrabToFile(QWidget& widget, const QString& path) {
  for (int i = 0; i < 20; ++i) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
  return widget.grab().save(path, "PNG");
}

// One catalogue pass and one order pass on a thread of their own while the
// window shows their lines (echoed to standard output); the window closes
// two seconds after they end, grabbed into screenshotDir first when one is
// given. The timers stay off, so no other pass runs.
int RunPassesInWindow(QApplication& app, QWidget& form, ooa::TSyncScheduler& scheduler,
                      const std::string& screenshotDir) {
  using namespace ooa;
  scheduler.SetTimerEnabled(TPassKind::Catalogue, false);
  scheduler.SetTimerEnabled(TPassKind::Order, false);
  std::atomic<int> status{1};
  std::atomic<bool> grabbed{true};
  std::thread passes([&] {
    status = RunPassesOnce(scheduler);
    QMetaObject::invokeMethod(
        &app,
        [&] {
          QTimer::singleShot(2000, [&] {
            if (!screenshotDir.empty()) {
              QDir().mkpath(QString::fromStdString(screenshotDir));
              grabbed = GrabToFile(form, QString::fromStdString(screenshotDir) + "/main-window.png");
            }
            QApplication::exit(0);  // quit() would ask the window to close
          });
        },
        Qt::QueuedConnection);
  });
  app.exec();
  passes.join();
  return status == 0 && grabbed ? 0 : 1;
}

int RunWindow(int argc, char** argv, const std::string& screenshotDir, bool once) {
  using namespace ooa;
  QApplication app(argc, argv);
  QApplication::setFont(WindowFont());
  ApplyTheme();  // a theme that cannot be loaded leaves the default look
  // The title names the application (taskbar, tray tooltip). Set as the name,
  // not the display name, which X11 would append to every window caption.
  QApplication::setApplicationName(kAppTitle);
  QApplication::setQuitOnLastWindowClosed(false);  // hidden in the tray is not closed
  RegisterQtCanvasPrinter();  // receipts for page printers are drawn with Qt

  TDatabaseModule db;
  TWooModule woo(db);
  TQtControlThread control;
  TSyncScheduler scheduler(control, [&woo] { RunCatalogPass(woo); }, [&woo] { RunOrderPass(woo); });
  TModulesBackend backend(db, woo);
  TServiceController controller(backend, scheduler);
  int status = 0;
  {
    TMainForm form(controller, [&woo] { woo.Init(); });
    QObject::connect(&form, &TMainForm::Closed, &app, &QApplication::quit);
    TStdoutLogSink echo;
    TTeeLogSink tee(form.LogSink(), echo);
    if (once) ActivityLog().SetSink(&tee);
    try {
      form.FormCreate();
    } catch (const std::exception& e) {
      QMessageBox::critical(&form, kAppTitle, QString::fromStdString(e.what()));
    }
    form.show();

    if (once) {
      status = controller.Running() ? RunPassesInWindow(app, form, scheduler, screenshotDir) : 1;
      ActivityLog().SetSink(&form.LogSink());
    } else if (!screenshotDir.empty()) {
      QDir().mkpath(QString::fromStdString(screenshotDir));
      QString dir = QString::fromStdString(screenshotDir) + "/";
      bool ok = GrabToFile(form, dir + "main-window.png");
      form.LogTabs->setCurrentIndex(1);
      ok = GrabToFile(form, dir + "main-window-problems.png") && ok;
      form.LogTabs->setCurrentIndex(0);
      TConfigurationForm dialog(&form, nullptr);
      dialog.show();
      ok = GrabToFile(dialog, dir + "settings-dialog.png") && ok;
      dialog.hide();
      status = ok ? 0 : 1;
    } else {
      status = app.exec();
    }
    // Exit does not wait for a running pass; the process ends around it
    // rather than destroying what the pass still uses. The database drops
    // the batch the pass had not committed.
    if (scheduler.RunningPasses() > 0) {
      std::fflush(stdout);
      std::_Exit(status);
    }
  }
  return status;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  CLI::App cli{std::string(kAppTitle) +
               "\nSyncs the POS catalogue to the online shop and imports the shop's orders as POS invoices."};
  // A path may start with '/' (under Wine, or a root-relative Windows path):
  // never read it as a Windows-style "/option".
  cli.allow_windows_style_options(false);
  std::string configPath, screenshotDir, dismissId, reprintId;
  bool headless = false, once = false, showWindow = false, status = false;
  cli.add_option("--config", configPath, "Settings file (default: OnlineService.ini beside the program)");
  cli.add_flag("--headless", headless, "Run the service without a window; the activity log goes to standard output");
  cli.add_flag("--once", once, "Run one catalogue pass and one order pass, then exit (0 when both ran)");
  cli.add_flag("--status", status,
               "Print the problems list (orders and refunds that could not be imported, receipts not printed, "
               "catalogue objects the shop refused) and exit: 0 when it is empty, 1 while it has entries, 2 on an "
               "error");
  cli.add_option("--dismiss", dismissId, "With --status: dismiss the entry with this id first")->needs("--status");
  cli.add_option("--reprint", reprintId,
                 "With --status: have the running service print this receipt (receipt:<invoice>) again")
      ->needs("--status");
  // Accepted by a build without the window too, which runs headless.
  cli.add_flag("--show-window", showWindow,
               "With --once: run the passes in the main window, their lines also on standard output");
#if OOA_WITH_GUI
  cli.add_option("--screenshot", screenshotDir,
                 "Save pictures of the main window (its activity log and its problems list) and the settings "
                 "dialog into DIR (with --once --show-window: the main window after the passes)")
      ->group("Documentation");
#endif
#if OOA_WITH_WIN32_WINDOW
  ooa::win::TWindowOptions windowOptions;
  cli.add_flag("--show-problems", windowOptions.ShowProblems, "Open the main window on its problems list")
      ->group("Documentation");
  cli.add_flag("--show-setup", windowOptions.ShowSetup, "Open the settings dialog once the main window is shown")
      ->group("Documentation");
#endif
  CLI11_PARSE(cli, argc, argv);
  if (status) {
    // Beside a running service: no instance guard, no database.
    if (!configPath.empty()) ooa::SetConfigPath(configPath);
    ooa::TStatusActions actions;
    actions.DismissId = dismissId;
    actions.ReprintId = reprintId;
    return ooa::RunProblemStatus(ooa::ProblemListPath(), actions, std::cout, std::cerr);
  }

  bool window = (OOA_WITH_GUI || OOA_WITH_WIN32_WINDOW) && !headless && (!once || showWindow);
  if (window && !HasDisplay()) {
    std::fprintf(stderr, "No display found: running headless.\n");
    window = false;
  }
  // Headless mode takes SIGTERM and SIGINT with sigwait: block them before
  // any thread exists so that every thread inherits the mask.
  if (!window && !once) ooa::BlockTerminationSignals();

  ooa::ExitIfAnotherInstance();
  if (!configPath.empty()) ooa::SetConfigPath(configPath);

#ifdef _WIN32
  // Receipts for page printers are drawn with GDI, in the window or without.
  ooa::RegisterGdiCanvasPrinter();
#endif
#if OOA_WITH_WIN32_WINDOW
  windowOptions.Once = once;
  if (window) return ooa::win::RunWin32Window(windowOptions);
#endif
#if OOA_WITH_GUI
  if (window) return RunWindow(argc, argv, screenshotDir, once);
  // Without the window, receipts for page printers and PDF files are still
  // drawn with Qt: on its offscreen platform, which needs no display and
  // never uses one that is there.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication drawing(argc, argv);
  ooa::RegisterQtCanvasPrinter();
#endif
  ooa::TDatabaseModule db;
  ooa::TWooModule woo(db);
  ooa::THeadlessOptions options;
  options.Once = once;
  return ooa::RunHeadless(db, woo, options);
}
