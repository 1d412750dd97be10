#include "gui/win/WinUi.h"

#include <algorithm>
#include <vector>

namespace ooa::win {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return L"";
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return "";
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string TextOf(HWND window) {
  const int n = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), n + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return Utf8(text);
}

void SetText(HWND window, const std::string& utf8) { SetWindowTextW(window, Wide(utf8).c_str()); }

namespace {

int PointsToPixels(int points) {
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return -MulDiv(points, dpi, 72);
}

HFONT MakeFont(int height, const wchar_t* face, int weight = FW_NORMAL) {
  return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceInstalled(const wchar_t* face) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &lf, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

COLORREF Scale(COLORREF c, int percent) {
  auto f = [percent](int v) { return std::min(255, v * percent / 100); };
  return RGB(f(GetRValue(c)), f(GetGValue(c)), f(GetBValue(c)));
}

struct TSchemeColors {
  COLORREF Top, Bottom, Border, Text;
};

TSchemeColors ColorsOf(TButtonScheme scheme) {
  switch (scheme) {
    case TButtonScheme::Silver:
      return {RGB(250, 250, 252), RGB(206, 212, 222), RGB(140, 148, 162), RGB(30, 30, 30)};
    case TButtonScheme::Green:
      return {RGB(214, 240, 206), RGB(120, 186, 104), RGB(70, 130, 60), RGB(20, 40, 16)};
    case TButtonScheme::Red:
      return {RGB(250, 214, 206), RGB(214, 110, 96), RGB(150, 60, 50), RGB(50, 12, 8)};
    case TButtonScheme::Blue:
    default:
      return {RGB(234, 242, 252), RGB(158, 188, 228), RGB(96, 124, 180), RGB(16, 32, 64)};
  }
}

}  // namespace

HFONT WindowFont() {
  static HFONT font = MakeFont(PointsToPixels(8), L"Tahoma");
  return font;
}

HFONT SmallFont() {
  static HFONT font = MakeFont(PointsToPixels(7), L"Tahoma");
  return font;
}

HFONT HeadlineFont(int pixelHeight) {
  static HFONT font = nullptr;
  static int height = 0;
  if (!font || height != pixelHeight) {
    if (font) DeleteObject(font);
    height = pixelHeight;
    // A negative height is the character height, as a pixel size is.
    font = MakeFont(-pixelHeight, FaceInstalled(L"Microsoft YaHei UI") ? L"Microsoft YaHei UI" : L"Tahoma");
  }
  return font;
}

HFONT ChineseFont() {
  static HFONT font =
      MakeFont(PointsToPixels(8), FaceInstalled(L"Microsoft YaHei UI") ? L"Microsoft YaHei UI" : L"Tahoma");
  return font;
}

void UseWindowFont(HWND parent) {
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM) -> BOOL {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
        return TRUE;
      },
      0);
}

void FillGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
  const int h = r.bottom - r.top;
  if (h <= 0) return;
  for (int y = 0; y < h; ++y) {
    auto mix = [&](int a, int b) { return h > 1 ? a + (b - a) * y / (h - 1) : a; };
    HBRUSH brush = CreateSolidBrush(RGB(mix(GetRValue(top), GetRValue(bottom)), mix(GetGValue(top), GetGValue(bottom)),
                                        mix(GetBValue(top), GetBValue(bottom))));
    RECT line{r.left, r.top + y, r.right, r.top + y + 1};
    FillRect(dc, &line, brush);
    DeleteObject(brush);
  }
}

void PaintPanel(HDC dc, RECT r, COLORREF top, COLORREF bottom, COLORREF border, int width) {
  if (width > 0) {
    HBRUSH brush = CreateSolidBrush(border);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    InflateRect(&r, -width, -width);
  }
  FillGradient(dc, r, top, bottom);
}

HWND CreateRoundedButton(HWND parent, const wchar_t* text, int id, int x, int y, int w, int h, TButtonScheme scheme) {
  HWND button = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, x, y, w, h,
                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                nullptr);
  SetWindowLongPtrW(button, GWLP_USERDATA, static_cast<LONG_PTR>(scheme));
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
  return button;
}

void PaintRoundedButton(const DRAWITEMSTRUCT& item) {
  const auto scheme = static_cast<TButtonScheme>(GetWindowLongPtrW(item.hwndItem, GWLP_USERDATA));
  TSchemeColors c = ColorsOf(scheme);
  const bool disabled = item.itemState & ODS_DISABLED;
  const bool pressed = item.itemState & ODS_SELECTED;
  if (disabled) {
    c = {RGB(240, 240, 240), RGB(214, 214, 214), RGB(170, 170, 170), RGB(150, 150, 150)};
  } else if (pressed) {
    c.Top = Scale(c.Top, 89);
    c.Bottom = Scale(c.Bottom, 85);
  }
  HDC dc = item.hDC;
  const RECT r = item.rcItem;
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int diameter = 12;  // corner radius 6

  // The parent's background in the corners, then the rounded body.
  HWND parent = GetParent(item.hwndItem);
  HBRUSH back = reinterpret_cast<HBRUSH>(SendMessageW(parent, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(item.hwndItem)));
  FillRect(dc, &r, back ? back : GetSysColorBrush(COLOR_BTNFACE));
  HRGN body = CreateRoundRectRgn(r.left, r.top, r.right + 1, r.bottom + 1, diameter, diameter);
  SelectClipRgn(dc, body);
  FillGradient(dc, r, c.Top, c.Bottom);
  SelectClipRgn(dc, nullptr);
  const bool focused = (item.itemState & ODS_FOCUS) && !disabled;
  HBRUSH frame = CreateSolidBrush(focused ? Scale(c.Border, 77) : c.Border);
  FrameRgn(dc, body, frame, 1, 1);
  DeleteObject(frame);
  DeleteObject(body);

  wchar_t text[64] = {};
  GetWindowTextW(item.hwndItem, text, 64);
  RECT textRect{0, 0, w, h};
  if (pressed) OffsetRect(&textRect, 1, 1);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, c.Text);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  DrawTextW(dc, text, -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
}

HICON AppIcon(int size) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
}

}  // namespace ooa::win
