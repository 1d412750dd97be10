// TWinProblemsPanel: the problems list of the Win32 main window, on the tab
// beside the activity log: the orders and refunds that could not be imported,
// the receipts not printed and the catalogue objects the shop refused, each
// with its reason (on a row of its own below it) and first and last try. The
// owner can dismiss an entry and ask for a receipt again.
//
// Reads the list file on the UI thread when made, on Refresh, and whenever the
// file changed (the main window calls CheckFile every two seconds). Its
// controls are children of the main window, which forwards their WM_COMMAND
// and WM_NOTIFY. UI thread only.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "config/ProblemList.h"

namespace ooa::win {

class TWinProblemsPanel {
 public:
  enum { kListId = 300, kReprintId, kDismissId, kStatusId };

  // rect: the panel's place in parent's client area.
  TWinProblemsPanel(HWND parent, const RECT& rect);

  HWND ProblemList;    // per open entry a row (problem, first try, last try) and its reason below
  HWND ReprintButton;  // "Print Again", for a selected receipt
  HWND DismissButton;
  HWND StatusLabel;    // "No problems." or what the last action did

  void Show(bool shown);
  void Refresh();
  void CheckFile();
  const std::vector<TProblem>& Shown() const { return Entries; }
  void ReprintSelected();
  void DismissSelected();
  // The parent's WM_COMMAND and WM_NOTIFY for the panel's controls; true when handled.
  bool Command(WORD id, WORD code);
  bool Notify(const NMHDR& header, LRESULT& result);

  // The number of open entries changed (also after the first reading).
  std::function<void(int open)> OpenCountChanged;

 private:
  const TProblem* Selected() const;
  void UpdateButtons();

  std::vector<TProblem> Entries;
  std::filesystem::file_time_type SeenModified{};
  long long SeenSize = -2;
  int SeenCount = -1;
};

}  // namespace ooa::win
