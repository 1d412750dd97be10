#include "gui/win/WinWindow.h"

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "db/DatabaseModule.h"
#include "gui/win/WinConfigurationForm.h"
#include "gui/win/WinControlThread.h"
#include "gui/win/WinMainForm.h"
#include "gui/win/WinUi.h"
#include "service/HeadlessRunner.h"
#include "service/ServiceBackend.h"
#include "service/ServiceController.h"
#include "service/SyncScheduler.h"
#include "shop/WooModule.h"
#include "sync/Passes.h"

namespace ooa::win {

int RunWin32Window(const TWindowOptions& options) {
  // Started from the desktop rather than a command prompt, the program got
  // a console of its own: let it go, the window is the program's face.
  DWORD consoleProcesses[2];
  if (GetConsoleProcessList(consoleProcesses, 2) == 1) FreeConsole();
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES;
  InitCommonControlsEx(&controls);

  TDatabaseModule db;
  TWooModule woo(db);
  TWinControlThread control;
  TSyncScheduler scheduler(control, [&woo] { RunCatalogPass(woo); }, [&woo] { RunOrderPass(woo); });
  TModulesBackend backend(db, woo);
  TServiceController controller(backend, scheduler);
  int status = 0;
  {
    TWinMainForm form(controller, [&woo] { woo.Init(); });
    form.Closed = [] { PostQuitMessage(0); };
    TStdoutLogSink echo;
    TTeeLogSink tee(form.LogSink(), echo);
    if (options.Once) ActivityLog().SetSink(&tee);
    try {
      form.FormCreate();
    } catch (const std::exception& e) {
      MessageBoxW(form.Handle, Wide(e.what()).c_str(), L"Tillora Classic Retail Edition - Online Order Adaptor",
                  MB_OK | MB_ICONERROR);
    }
    ShowWindow(form.Handle, SW_SHOW);
    UpdateWindow(form.Handle);
    if (options.ShowProblems) form.ShowTab(1);
    if (options.ShowSetup) {
      // Opened from the loop, as the Setup button would.
      PostMessageW(form.Handle, WM_COMMAND, MAKEWPARAM(TWinMainForm::kSetupId, BN_CLICKED), 0);
    }

    // --once: the two passes on a thread of their own, the timers off.
    std::atomic<int> passesStatus{1};
    std::thread passes;
    if (options.Once) {
      scheduler.SetTimerEnabled(TPassKind::Catalogue, false);
      scheduler.SetTimerEnabled(TPassKind::Order, false);
      if (controller.Running()) {
        passes = std::thread([&] {
          passesStatus = RunPassesOnce(scheduler);
          control.Post([&control] { control.PostDelayed(2000, [] { PostQuitMessage(0); }); });
        });
      } else {
        PostQuitMessage(1);
      }
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (IsDialogMessageW(form.Handle, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    status = static_cast<int>(msg.wParam);
    if (passes.joinable()) {
      passes.join();
      status = passesStatus == 0 && status == 0 ? 0 : 1;
    } else if (options.Once) {
      status = 1;
    }
    ActivityLog().SetSink(&form.LogSink());
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

}  // namespace ooa::win
