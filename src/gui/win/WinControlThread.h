// TWinControlThread: the window's thread as the service's controlling thread
// in the Win32 window. Post hands a task to a message-only window of that
// thread (PostMessage, safe from any thread); a delayed task is a one-shot
// Win32 timer of that window. Create it on the UI thread, which must run a
// message loop; tasks still queued when it is destroyed never run.
#pragma once

#include <windows.h>

#include <functional>
#include <map>

#include "service/ControlThread.h"

namespace ooa::win {

class TWinControlThread : public IControlThread {
 public:
  TWinControlThread();
  ~TWinControlThread() override;
  TWinControlThread(const TWinControlThread&) = delete;
  TWinControlThread& operator=(const TWinControlThread&) = delete;

  void Post(std::function<void()> fn) override;
  void PostDelayed(int ms, std::function<void()> fn) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  HWND Window = nullptr;
  DWORD Thread = 0;
  UINT_PTR NextTimer = 1;
  std::map<UINT_PTR, std::function<void()>> Timers;  // UI thread only
};

}  // namespace ooa::win
