#include "gui/win/WinMainForm.h"

#include <commctrl.h>
#include <shellapi.h>

#include "config/Clock.h"
#include "config/Config.h"
#include "config/UtilUnit.h"
#include "gui/win/WinConfigurationForm.h"
#include "gui/win/WinProblemsPanel.h"
#include "gui/win/WinUi.h"
#include "service/ServiceController.h"

namespace ooa::win {

namespace {

constexpr const wchar_t* kClassName = L"OOA.MainForm";
constexpr const wchar_t* kBannerClass = L"OOA.Banner";
constexpr const wchar_t* kCaption = L"Tillora Classic Retail - Online Service";
constexpr const wchar_t* kAppTitle = L"Tillora Classic Retail Edition - Online Order Adaptor";
constexpr UINT_PTR kWatchTimer = 1;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

COLORREF Blend(COLORREF under, COLORREF over, int alpha) {
  auto mix = [alpha](int a, int b) { return a + (b - a) * alpha / 255; };
  return RGB(mix(GetRValue(under), GetRValue(over)), mix(GetGValue(under), GetGValue(over)),
             mix(GetBValue(under), GetBValue(over)));
}

// The banner: a light gradient with soft bands across it, the title, the
// version and a line of small print, inside a one-pixel border.
void PaintBanner(HWND hwnd, HDC dc) {
  RECT r;
  GetClientRect(hwnd, &r);
  const COLORREF border = RGB(133, 156, 205);
  HBRUSH frame = CreateSolidBrush(border);
  FillRect(dc, &r, frame);
  DeleteObject(frame);
  RECT in = r;
  InflateRect(&in, -1, -1);
  COLORREF top = RGB(250, 252, 255), bottom = RGB(200, 218, 240);
  FillGradient(dc, in, top, bottom);
  const int w = in.right - in.left, h = in.bottom - in.top;
  for (int i = 0; i < 3; ++i) {
    // Each band lies over the ones above it: its colours blend into theirs.
    top = Blend(top, border, 28 + 10 * i);
    bottom = Blend(bottom, border, 28 + 10 * i);
    const int y = in.top + h * (55 + 14 * i) / 100;
    POINT curve[] = {{in.left + w * 3 / 10, y - 24}, {in.left + w * 6 / 10, y + 24}, {in.right, y - 6}};
    BeginPath(dc);
    MoveToEx(dc, in.left, y, nullptr);
    PolyBezierTo(dc, curve, 3);
    LineTo(dc, in.right, in.bottom);
    LineTo(dc, in.left, in.bottom);
    CloseFigure(dc);
    EndPath(dc);
    SelectClipPath(dc, RGN_COPY);
    FillGradient(dc, in, top, bottom);
    SelectClipRgn(dc, nullptr);
  }

  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  auto text = [&](const wchar_t* s, HFONT font, int y, int height) {
    RECT line{r.left, y, r.right, y + height};
    HGDIOBJ old = SelectObject(dc, font);
    DrawTextW(dc, s, -1, &line, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
  };
  text(L"Tillora Classic", HeadlineFont(27), 10, 38);
  text(L"Online Order Adaptor - Retail Edition v1.1.1", WindowFont(), 50, 20);
  text(L"Catalogue upload, online order import and receipt printing for the point of sale", SmallFont(), 74, 16);
}

LRESULT CALLBACK BannerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    PaintBanner(hwnd, dc);
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpfnWndProc = BannerProc;
  wc.lpszClassName = kBannerClass;
  RegisterClassExW(&wc);
}

}  // namespace

// ---- the log sink ----

void TWinLogSink::AppendNow(HWND memo, const std::string& line) {
  std::wstring text;
  for (wchar_t c : Wide(line)) {
    if (c == L'\n') text += L'\r';
    text += c;
  }
  const int length = GetWindowTextLengthW(memo);
  if (length > 0) text = L"\r\n" + text;
  SendMessageW(memo, EM_SETSEL, static_cast<WPARAM>(length), static_cast<LPARAM>(length));
  SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TWinLogSink::Append(const std::string& line) {
  if (GetCurrentThreadId() == Thread) {
    AppendNow(Memo, line);
    return;
  }
  auto* copy = new std::string(line);
  if (!PostMessageW(Window, TWinMainForm::kLogLine, 0, reinterpret_cast<LPARAM>(copy))) delete copy;
}

void TWinLogSink::Clear() {
  if (GetCurrentThreadId() == Thread) SetWindowTextW(Memo, L"");
  else PostMessageW(Window, TWinMainForm::kLogClear, 0, 0);
}

// ---- the window ----

TWinMainForm::TWinMainForm(TServiceController& controller, std::function<void()> reinitShop)
    : Controller(controller), ReinitShop(std::move(reinitShop)) {
  RegisterClasses();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = BigIcon = AppIcon(32);
  wc.hIconSm = SmallIcon = AppIcon(16);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);

  // Client area 574 x 401, centred on the screen's work area.
  RECT frame{0, 0, 574, 401};
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + (work.right - work.left - w) / 2, y = work.top + (work.bottom - work.top - h) / 2;
  Handle = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, kCaption, kStyle, x, y, w, h, nullptr, nullptr, wc.hInstance, this);
  TaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  MemoBrush = CreateSolidBrush(RGB(255, 255, 255));
  BuildControls();

  PopupMenu = CreatePopupMenu();
  AppendMenuW(PopupMenu, MF_STRING, kOpenMenuId, L"Open Service Manager");
  AppendMenuW(PopupMenu, MF_STRING, kStopServiceMenuId, L"Stop Service");
  AppendMenuW(PopupMenu, MF_STRING, kStartServiceMenuId, L"Start Service");
  AppendMenuW(PopupMenu, MF_STRING, kExitMenuId, L"Exit");

  ConfirmClose = [this] { return AskCloseQuestion(Handle); };
  Controller.OnButtonsChanged = [this] { SetButtonsStatus(); };
  Sink = std::make_unique<TWinLogSink>(Handle, InfoMemo);
  ActivityLog().SetSink(Sink.get());
  SetTimer(Handle, kWatchTimer, 2000, nullptr);
}

TWinMainForm::~TWinMainForm() {
  ActivityLog().SetSink(nullptr);
  Controller.OnButtonsChanged = nullptr;
  if (TrayAdded) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = Handle;
    nid.uID = 0;
    Shell_NotifyIconW(NIM_DELETE, &nid);
  }
  if (IsWindow(Handle)) {
    SetWindowLongPtrW(Handle, GWLP_USERDATA, 0);
    DestroyWindow(Handle);
  }
  DestroyMenu(PopupMenu);
  DeleteObject(MemoBrush);
}

void TWinMainForm::BuildControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  VersionPanel = CreateWindowExW(0, kBannerClass, L"", WS_CHILD | WS_VISIBLE, 6, 6, 552, 100, Handle, nullptr,
                                 instance, nullptr);

  // The activity log and the problems list share the log's place, one tab each.
  LogTabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 6, 106, 552,
                            246, Handle, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTabsId)), instance, nullptr);
  SendMessageW(LogTabs, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
  const wchar_t* tabs[] = {L"Activity", L"Problems"};
  for (int i = 0; i < 2; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(tabs[i]);
    SendMessageW(LogTabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  RECT page{0, 0, 552, 246};
  SendMessageW(LogTabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  OffsetRect(&page, 6, 106);

  InfoMemo = CreateWindowExW(0, L"EDIT", L"",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, page.left,
                             page.top, page.right - page.left, page.bottom - page.top, Handle,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMemoId)), instance, nullptr);
  SendMessageW(InfoMemo, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
  SendMessageW(InfoMemo, EM_SETLIMITTEXT, 0, 0);  // no limit but memory
  SetWindowPos(InfoMemo, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  ProblemsPanel = std::make_unique<TWinProblemsPanel>(Handle, page);
  ProblemsPanel->Show(false);
  for (HWND c : {ProblemsPanel->ProblemList, ProblemsPanel->StatusLabel, ProblemsPanel->ReprintButton,
                 ProblemsPanel->DismissButton})
    SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ProblemsPanel->OpenCountChanged = [this](int open) { SetProblemsTabText(open); };
  SetProblemsTabText(static_cast<int>(ProblemsPanel->Shown().size()));

  StartServiceButton = CreateRoundedButton(Handle, L"Start", kStartId, 6, 358, 115, 40, TButtonScheme::Green);
  StopServiceButton = CreateRoundedButton(Handle, L"Stop", kStopId, 127, 358, 115, 40, TButtonScheme::Red);
  SetupButton = CreateRoundedButton(Handle, L"Setup", kSetupId, 248, 358, 115, 40, TButtonScheme::Blue);
  ExitButton = CreateRoundedButton(Handle, L"Exit", kExitId, 473, 358, 85, 40, TButtonScheme::Silver);
}

void TWinMainForm::SetProblemsTabText(int open) {
  std::wstring text = open > 0 ? L"Problems (" + std::to_wstring(open) + L")" : L"Problems";
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  SendMessageW(LogTabs, TCM_SETITEMW, 1, reinterpret_cast<LPARAM>(&item));
}

void TWinMainForm::ShowTab(int index) {
  SendMessageW(LogTabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  ShowWindow(InfoMemo, index == 0 ? SW_SHOW : SW_HIDE);
  ProblemsPanel->Show(index == 1);
}

ILogSink& TWinMainForm::LogSink() { return *Sink; }

void TWinMainForm::AddTrayIcon() {
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof(nid);  // the full structure
  nid.hWnd = Handle;
  nid.uID = 0;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = kTrayMessage;
  nid.hIcon = SmallIcon;
  lstrcpynW(nid.szTip, kAppTitle, ARRAYSIZE(nid.szTip));
  TrayAdded = Shell_NotifyIconW(NIM_ADD, &nid) != FALSE;
}

void TWinMainForm::FormCreate() {
  ActivityLog().Clear();
  AddTrayIcon();
  LoadConfig();
  ProblemsPanel->Refresh();
  StatusLine("Now: " + std::to_string(DateTimeToUnixMs(Clock().NowLocal())));
  StartService();
}

void TWinMainForm::StartService() {
  // An error of the start (the print settings cannot be read) is reported
  // like any error on this thread, and the start goes no further.
  try {
    Controller.StartService();
  } catch (const std::exception& e) {
    MessageBoxW(Handle, Wide(e.what()).c_str(), kAppTitle, MB_OK | MB_ICONERROR);
  }
}

void TWinMainForm::StopService() { Controller.StopService(); }

void TWinMainForm::SetButtonsStatus() {
  const TButtonsStatus s = Controller.ButtonsStatus();
  EnableWindow(StartServiceButton, s.StartEnabled);
  EnableWindow(StopServiceButton, s.StopEnabled);
  EnableMenuItem(PopupMenu, kStopServiceMenuId, MF_BYCOMMAND | (s.StopEnabled ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(PopupMenu, kStartServiceMenuId, MF_BYCOMMAND | (s.StartEnabled ? MF_ENABLED : MF_GRAYED));
}

void TWinMainForm::SetupButtonClick() {
  if (!SetupPro(Handle, ReinitShop, PrinterSource)) return;
  ActivityLog().Clear();
  StatusLine("Config saved.");
  RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWinMainForm::ExitButtonClick() {
  if (!ConfirmClose()) return;
  CloseConfirmed = true;
  SendMessageW(Handle, WM_CLOSE, 0, 0);
}

void TWinMainForm::OpenMenuClick() {
  ShowWindow(Handle, SW_RESTORE);
  SetForegroundWindow(Handle);
  ShowWindow(Handle, SW_SHOW);
}

void TWinMainForm::TrayMessage(UINT mouse) {
  if (mouse == WM_LBUTTONDOWN) {
    SetForegroundWindow(Handle);
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(PopupMenu, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle, nullptr);
    // So that the menu closes when the user clicks elsewhere.
    PostMessageW(Handle, WM_NULL, 0, 0);
  } else if (mouse == WM_RBUTTONDOWN) {
    ShowWindow(Handle, SW_HIDE);
  }
}

LRESULT CALLBACK TWinMainForm::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    reinterpret_cast<TWinMainForm*>(create->lpCreateParams)->Handle = hwnd;
  }
  auto* self = reinterpret_cast<TWinMainForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  return self->Handle_(msg, wp, lp);
}

LRESULT TWinMainForm::Handle_(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(Handle, &r);
      FillGradient(reinterpret_cast<HDC>(wp), r, RGB(0xee, 0xf3, 0xfa), RGB(0xd6, 0xe2, 0xf2));
      return 1;
    }
    case WM_CTLCOLORSTATIC: {
      // The log box and the problems list's status line lie on the tabs'
      // white pages.
      const HWND control = reinterpret_cast<HWND>(lp);
      if (control == InfoMemo || (ProblemsPanel && control == ProblemsPanel->StatusLabel)) {
        SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(MemoBrush);
      }
      break;
    }
    case WM_CTLCOLORBTN: {
      // The corners of the rounded buttons: the window's background there.
      HWND button = reinterpret_cast<HWND>(lp);
      if (button != StartServiceButton && button != StopServiceButton && button != SetupButton &&
          button != ExitButton)
        break;
      RECT r;
      GetWindowRect(button, &r);
      MapWindowPoints(nullptr, Handle, reinterpret_cast<POINT*>(&r), 2);
      RECT client;
      GetClientRect(Handle, &client);
      const int h = client.bottom > 1 ? client.bottom - 1 : 1;
      auto mix = [&](int a, int b) { return a + (b - a) * ((r.top + r.bottom) / 2) / h; };
      static HBRUSH brush = nullptr;
      if (brush) DeleteObject(brush);
      brush = CreateSolidBrush(RGB(mix(0xee, 0xd6), mix(0xf3, 0xe2), mix(0xfa, 0xf2)));
      return reinterpret_cast<LRESULT>(brush);
    }
    case WM_DRAWITEM:
      PaintRoundedButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_COMMAND: {
      const WORD id = LOWORD(wp), code = HIWORD(wp);
      switch (id) {
        case kStartId:
        case kStartServiceMenuId:
          StartService();
          return 0;
        case kStopId:
        case kStopServiceMenuId:
          StopService();
          return 0;
        case kSetupId:
          SetupButtonClick();
          return 0;
        case kExitId:
        case kExitMenuId:
          ExitButtonClick();
          return 0;
        case kOpenMenuId:
          OpenMenuClick();
          return 0;
        default:
          if (ProblemsPanel && ProblemsPanel->Command(id, code)) return 0;
      }
      break;
    }
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lp);
      if (header.hwndFrom == LogTabs && header.code == TCN_SELCHANGE) {
        ShowTab(static_cast<int>(SendMessageW(LogTabs, TCM_GETCURSEL, 0, 0)));
        return 0;
      }
      LRESULT result = 0;
      if (ProblemsPanel && ProblemsPanel->Notify(header, result)) return result;
      break;
    }
    case WM_TIMER:
      if (wp == kWatchTimer) {
        ProblemsPanel->CheckFile();
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      // Minimising hides the window into the tray, where there is one;
      // without it the window is an ordinary minimised window.
      if ((wp & 0xFFF0) == SC_MINIMIZE && TrayAdded) {
        ShowWindow(Handle, SW_HIDE);
        return 0;
      }
      break;
    case WM_CLOSE:
      // The close box, Alt+F4 and the system menu's Close ask first.
      if (!CloseConfirmed && !ConfirmClose()) return 0;
      CloseConfirmed = true;
      ShowWindow(Handle, SW_HIDE);
      if (Closed) Closed();
      return 0;
    case kTrayMessage:
      TrayMessage(LOWORD(lp));
      return 0;
    case kLogLine: {
      std::unique_ptr<std::string> line(reinterpret_cast<std::string*>(lp));
      TWinLogSink::AppendNow(InfoMemo, *line);
      return 0;
    }
    case kLogClear:
      SetWindowTextW(InfoMemo, L"");
      return 0;
    default:
      if (msg == TaskbarCreated && TaskbarCreated != 0) {
        // The shell restarted: the icon is added again.
        if (TrayAdded) AddTrayIcon();
        return 0;
      }
  }
  return DefWindowProcW(Handle, msg, wp, lp);
}

bool AskCloseQuestion(HWND owner) {
  return MessageBoxW(owner, L"Do you want to close this service?", kAppTitle,
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) == IDYES;
}

}  // namespace ooa::win
