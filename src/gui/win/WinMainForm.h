// TWinMainForm: the service's main window in the Win32 edition: banner,
// activity log and beside it (a second tab) the problems list, Start, Stop,
// Setup and Exit, and the notification-area icon with its menu. It commands
// the shared service controller and shows its state; the two sync timers
// live in the scheduler, whose controlling thread is this window's thread.
//
// UI thread only. The controller and the shop re-initialisation are not owned
// and outlive the window; the window owns its controls, the tray icon and the
// log sink it installs into the activity log.
#pragma once

#include <windows.h>
// winsvc.h's StartService (a macro for StartServiceW) would rename the
// service controller's method of that name.
#undef StartService

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/ActivityLog.h"

namespace ooa {
class TServiceController;
}

namespace ooa::win {

class TWinProblemsPanel;

// The activity log's sink: the window's read-only log box. Lines written on
// the UI thread go in at once; lines of worker threads are posted to the
// window (PostMessage) in the order written.
class TWinLogSink : public ILogSink {
 public:
  TWinLogSink(HWND window, HWND memo) : Window(window), Memo(memo), Thread(GetCurrentThreadId()) {}
  void Append(const std::string& line) override;
  void Clear() override;
  // The window's handlers of the posted lines.
  static void AppendNow(HWND memo, const std::string& line);

 private:
  HWND Window, Memo;
  DWORD Thread;
};

class TWinMainForm {
 public:
  // Message numbers of the window: the tray callback (WM_USER + 3000) and
  // the log lines posted by the workers.
  static constexpr UINT kTrayMessage = WM_USER + 3000;
  static constexpr UINT kLogLine = WM_APP + 10;
  static constexpr UINT kLogClear = WM_APP + 11;
  enum {
    kStartId = 100, kStopId, kSetupId, kExitId, kTabsId, kMemoId,
    kOpenMenuId = 200, kStopServiceMenuId, kStartServiceMenuId, kExitMenuId
  };

  TWinMainForm(TServiceController& controller, std::function<void()> reinitShop);
  ~TWinMainForm();
  TWinMainForm(const TWinMainForm&) = delete;
  TWinMainForm& operator=(const TWinMainForm&) = delete;

  HWND Handle = nullptr;
  HWND VersionPanel = nullptr;  // the banner: picture, "Tillora Classic", version and small print
  HWND LogTabs = nullptr;       // "Activity" (InfoMemo) and "Problems" (ProblemsPanel)
  HWND InfoMemo = nullptr;
  std::unique_ptr<TWinProblemsPanel> ProblemsPanel;
  HWND StartServiceButton = nullptr, StopServiceButton = nullptr, SetupButton = nullptr, ExitButton = nullptr;
  HMENU PopupMenu = nullptr;  // Open Service Manager, Stop Service, Start Service, Exit

  // The creation handler: clears the log, adds the tray icon, loads the
  // settings, writes "Now: ..." and starts the service.
  void FormCreate();
  // Errors of the start are shown in a message box.
  void StartService();
  void StopService();
  void SetButtonsStatus();

  void SetupButtonClick();
  void ExitButtonClick();
  void OpenMenuClick();
  void TrayMessage(UINT mouseMessage);
  // 0: the activity log, 1: the problems list.
  void ShowTab(int index);

  ILogSink& LogSink();
  // Whether a tray icon is there to come back to (minimising hides then).
  bool TrayShown() const { return TrayAdded; }

  // Asks "Do you want to close this service?" (Yes default); replaceable.
  std::function<bool()> ConfirmClose;
  // The printers the settings dialog lists; InstalledPrinters when unset.
  std::function<std::vector<std::string>()> PrinterSource;
  // The window was closed for good: the program ends.
  std::function<void()> Closed;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle_(UINT msg, WPARAM wp, LPARAM lp);
  void BuildControls();
  void AddTrayIcon();
  void SetProblemsTabText(int open);

  TServiceController& Controller;
  std::function<void()> ReinitShop;
  std::unique_ptr<TWinLogSink> Sink;
  HICON BigIcon = nullptr, SmallIcon = nullptr;
  HBRUSH MemoBrush = nullptr;
  bool TrayAdded = false;
  bool CloseConfirmed = false;
  UINT TaskbarCreated = 0;
};

// "Do you want to close this service?" with Yes (the default) and No, titled
// with the application's name; true for Yes.
bool AskCloseQuestion(HWND owner);

}  // namespace ooa::win
