// The Win32 window's start: the program's path with the main window on
// Windows. Creates the database module, the shop module and the main window
// in this order, runs the message loop until the window is closed, and
// destroys them in the reverse order. Main thread only, after the
// single-instance guard.
#pragma once

namespace ooa::win {

struct TWindowOptions {
  bool ShowProblems = false;  // open the problems list's tab at start
  bool ShowSetup = false;     // open the settings dialog once the window is shown
  // One catalogue pass and one order pass while the window shows their lines
  // (also on standard output); the window closes two seconds after they end.
  // The result is 0 when both ran.
  bool Once = false;
};

int RunWin32Window(const TWindowOptions& options);

}  // namespace ooa::win
