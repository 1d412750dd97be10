// Drawing and text helpers shared by the Win32 windows: UTF-8 <-> UTF-16 at
// the edge, the windows' fonts, the gradient panel and the rounded gradient
// buttons (owner-drawn push buttons with a colour scheme), and the
// application's icon. UI thread only.
#pragma once

#include <windows.h>

#include <string>

namespace ooa::win {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& text);
// The text of a window (an edit, a combo box) as UTF-8.
std::string TextOf(HWND window);
void SetText(HWND window, const std::string& utf8);

// Tahoma 8 point, the windows' font; 7 point for small print; the banner's
// headline (Microsoft YaHei UI where installed, else Tahoma), pixelHeight high.
HFONT WindowFont();
HFONT SmallFont();
HFONT HeadlineFont(int pixelHeight);
// The window font's size in a face with Chinese glyphs (Microsoft YaHei UI
// where installed, else Tahoma, whose font linking may supply them): the
// language lists, whose items are partly Chinese.
HFONT ChineseFont();
// Sets the window font on every child of parent.
void UseWindowFont(HWND parent);

// A vertical gradient from top to bottom across rect.
void FillGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom);
// The gradient panel: a border of the given width (0: none) around a
// vertical gradient.
void PaintPanel(HDC dc, RECT rect, COLORREF top, COLORREF bottom, COLORREF border, int borderWidth);

// The rounded gradient buttons' colour schemes.
enum class TButtonScheme { Blue = 0, Silver, Green, Red };
// A push button drawn by PaintRoundedButton (BS_OWNERDRAW), with its scheme.
HWND CreateRoundedButton(HWND parent, const wchar_t* text, int id, int x, int y, int w, int h, TButtonScheme scheme);
// WM_DRAWITEM of such a button: lighter under the mouse is left out, darker
// while pressed, grey when disabled.
void PaintRoundedButton(const DRAWITEMSTRUCT& item);

// The application's icon (resource 1) at size x size pixels.
HICON AppIcon(int size);

}  // namespace ooa::win
