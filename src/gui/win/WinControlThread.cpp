#include "gui/win/WinControlThread.h"

#include <memory>

namespace ooa::win {

namespace {

constexpr UINT kRunTask = WM_APP + 1;
constexpr const wchar_t* kClassName = L"OOA.ControlThread";

}  // namespace

TWinControlThread::TWinControlThread() : Thread(GetCurrentThreadId()) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // fails harmlessly when registered already
  Window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
}

TWinControlThread::~TWinControlThread() {
  for (auto& [id, fn] : Timers) KillTimer(Window, id);
  // The tasks still queued are dropped, not run.
  MSG msg;
  while (PeekMessageW(&msg, Window, kRunTask, kRunTask, PM_REMOVE))
    delete reinterpret_cast<std::function<void()>*>(msg.lParam);
  SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
  DestroyWindow(Window);
}

void TWinControlThread::Post(std::function<void()> fn) {
  auto* task = new std::function<void()>(std::move(fn));
  if (!PostMessageW(Window, kRunTask, 0, reinterpret_cast<LPARAM>(task))) delete task;
}

void TWinControlThread::PostDelayed(int ms, std::function<void()> fn) {
  if (GetCurrentThreadId() != Thread) {
    // Timers belong to the UI thread: start this one from there.
    Post([this, ms, fn = std::move(fn)]() mutable { PostDelayed(ms, std::move(fn)); });
    return;
  }
  const UINT_PTR id = NextTimer++;
  Timers[id] = std::move(fn);
  SetTimer(Window, id, static_cast<UINT>(ms < 0 ? 0 : ms), nullptr);
}

LRESULT CALLBACK TWinControlThread::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TWinControlThread*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == kRunTask) {
    std::unique_ptr<std::function<void()>> task(reinterpret_cast<std::function<void()>*>(lp));
    if (self && *task) (*task)();
    return 0;
  }
  if (msg == WM_TIMER && self) {
    KillTimer(hwnd, wp);
    auto it = self->Timers.find(wp);
    if (it == self->Timers.end()) return 0;
    std::function<void()> fn = std::move(it->second);
    self->Timers.erase(it);
    if (fn) fn();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace ooa::win
