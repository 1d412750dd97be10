#include "gui/win/WinConfigurationForm.h"

#include <commctrl.h>

#include "config/Config.h"
#include "gui/win/WinUi.h"
#include "print/PrinterList.h"
#include "service/SetupDialogLogic.h"

namespace ooa::win {

namespace {

constexpr const wchar_t* kClassName = L"OOA.ConfigurationForm";
// Not WS_CLIPCHILDREN: the group boxes leave their inside to the panel below.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr COLORREF kFill = RGB(191, 210, 234);
constexpr COLORREF kBorder = RGB(133, 156, 205);
constexpr int kPanelX = 8, kPanelY = 8, kPanelW = 444, kPanelH = 545;

HWND Make(HWND parent, DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y,
          int w, int h) {
  HWND c = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
  return c;
}

// Width of a text in the window font, for labels and check boxes sized to it.
int TextWidth(HWND window, const wchar_t* text) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, WindowFont());
  SIZE size{};
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size.cx;
}

// Upper- or lower-case input: what is typed or pasted is converted; text set
// from the settings is shown as it stands.
LRESULT CALLBACK CaseProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR upper) {
  auto convert = [upper](std::wstring& text) {
    if (text.empty()) return;
    if (upper) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    else CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  };
  if (msg == WM_CHAR && wp >= 0x20) {
    std::wstring c(1, static_cast<wchar_t>(wp));
    convert(c);
    wp = c[0];
  } else if (msg == WM_PASTE) {
    std::wstring text;
    if (OpenClipboard(edit)) {
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
          text = chars;
          GlobalUnlock(data);
        }
      }
      CloseClipboard();
    }
    convert(text);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
  }
  return DefSubclassProc(edit, msg, wp, lp);
}

enum class TCase { AsTyped, Upper, Lower };

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void SetChecked(HWND box, bool on) { SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

}  // namespace

TWinConfigurationForm::TWinConfigurationForm(HWND owner, std::function<void()> reinitShop, TPrinterSource printers)
    : Owner(owner), ReinitShop(std::move(reinitShop)), Printers(printers ? std::move(printers) : InstalledPrinters) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  PanelBrush = CreateSolidBrush(kFill);

  // The client area: the panel with an 8-pixel margin (about 470 x 583 with
  // the window frame), centred on the owner.
  RECT frame{0, 0, kPanelX * 2 + kPanelW, kPanelY * 2 + kPanelH};
  AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_DLGMODALFRAME);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (Owner && IsWindowVisible(Owner)) GetWindowRect(Owner, &around);
  else SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  const int x = around.left + (around.right - around.left - w) / 2;
  const int y = around.top + (around.bottom - around.top - h) / 2;
  Handle = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, L"Configuration", kStyle, x, y, w,
                           h, Owner, nullptr, wc.hInstance, this);
  BuildControls();
  FormShow();
}

TWinConfigurationForm::~TWinConfigurationForm() {
  if (IsWindow(Handle)) {
    SetWindowLongPtrW(Handle, GWLP_USERDATA, 0);
    DestroyWindow(Handle);
  }
  DeleteObject(PanelBrush);
}

void TWinConfigurationForm::BuildControls() {
  HWND p = Handle;
  // Positions inside a group box are relative to the box; the boxes lie on
  // the panel, which lies on the dialog at 8, 8.
  auto group = [&](const wchar_t* title, int x, int y, int w, int h) {
    Make(p, 0, L"BUTTON", title, BS_GROUPBOX, -1, kPanelX + x, kPanelY + y, w, h);
    return POINT{kPanelX + x, kPanelY + y};
  };
  auto label = [&](POINT g, const wchar_t* text, int x, int y) {
    Make(p, 0, L"STATIC", text, SS_LEFT | SS_NOPREFIX, -1, g.x + x, g.y + y, TextWidth(p, text) + 2, 14);
  };
  auto edit = [&](POINT g, int id, int x, int y, int maxLength, TCase letterCase) {
    HWND e = Make(p, WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, id, g.x + x, g.y + y, 306, 21);
    SendMessageW(e, EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0);
    if (letterCase != TCase::AsTyped) SetWindowSubclass(e, CaseProc, 1, letterCase == TCase::Upper);
    return e;
  };
  auto check = [&](POINT g, const wchar_t* text, int id, int x, int y) {
    return Make(p, 0, L"BUTTON", text, WS_TABSTOP | BS_AUTOCHECKBOX, id, g.x + x, g.y + y,
                TextWidth(p, text) + 22, 17);
  };

  // Tab order follows the order made: database fields; Warehouse, Url, Key,
  // Secret; the printer box; the languages; Save, Cancel.
  const POINT db = group(L" Database Settings", 16, 12, 412, 93);
  label(db, L"Server", 18, 27);
  label(db, L"Database", 18, 57);
  // Server and database names are upper case, the shop's address lower case,
  // converted as they are typed (CaseProc).
  ServerNameEdit = edit(db, kServerId, 83, 24, 128, TCase::Upper);
  DatabaseNameEdit = edit(db, kDatabaseId, 83, 54, 128, TCase::Upper);

  const POINT general = group(L"General Settings", 16, 111, 412, 145);
  label(general, L"Url", 18, 27);
  label(general, L"Key", 18, 54);
  label(general, L"Secret", 18, 82);
  label(general, L"Warehouse", 18, 108);
  WarehouseCodeEdit = edit(general, kWarehouseId, 83, 105, 64, TCase::AsTyped);
  UrlEdit = edit(general, kUrlId, 83, 24, 128, TCase::Lower);
  KeyEdit = edit(general, kKeyId, 83, 51, 128, TCase::AsTyped);
  SecretEdit = edit(general, kSecretId, 83, 78, 128, TCase::AsTyped);

  const POINT printer = group(L" Printer ", 16, 262, 412, 131);
  // A list that also takes a typed printer address; typing adds no item.
  PrinterComboBox = Make(p, 0, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                         kPrinterId, printer.x + 18, printer.y + 22, 371, 200);
  SendMessageW(PrinterComboBox, CB_SETCUEBANNER, 0,
               reinterpret_cast<LPARAM>(L"N/A, a print queue, socket://host:port, file:, pdf: or a port"));
  PrintItemBarcodeCheckBox = check(printer, L"Print item barcode on receipt", kPrintBarcodeId, 18, 49);
  OnlyPrintNumberAsBarcodeCheckBox = check(printer, L"Only print number as barcode", kOnlyNumberId, 225, 49);
  ProductCodeAsBarcodeCheckBox =
      check(printer, L"If barcode is null, print product code as barcode", kProductCodeId, 18, 76);
  PrintLocationCheckBox = check(printer, L"Print item location on receipt", kLocationId, 18, 99);
  GraphicModeCheckBox = check(printer, L"Graphic Mode", kGraphicId, 302, 76);

  const POINT languages = group(L"Multi-Language", 16, 399, 412, 73);
  const int columns[] = {18, 113, 208, 303};
  const wchar_t* titles[] = {L"Description1", L"Description2", L"Description3", L"Description4"};
  for (int i = 0; i < 4; ++i) label(languages, titles[i], columns[i], 21);
  const std::wstring items[] = {L"N/A", L"English", Wide("简体中文"), Wide("繁体中文")};
  for (int i = 0; i < 4; ++i) {
    DescComboBox[i] = Make(p, 0, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kDesc1Id + i,
                           languages.x + columns[i], languages.y + 40, 89, 120);
    SendMessageW(DescComboBox[i], WM_SETFONT, reinterpret_cast<WPARAM>(ChineseFont()), FALSE);
    for (const std::wstring& item : items)
      SendMessageW(DescComboBox[i], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }

  // Save is the default (Enter), Cancel answers Escape.
  SaveButton = CreateRoundedButton(p, L"Save", IDOK, 107, 495, 100, 40, TButtonScheme::Blue);
  CancelButton = CreateRoundedButton(p, L"Cancel", IDCANCEL, 249, 495, 100, 40, TButtonScheme::Silver);

  // The status line, under the buttons at the foot of the panel.
  PrinterStatusLabel = Make(p, 0, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, kStatusId, 18, 537, 424, 14);
}

std::string TWinConfigurationForm::PrinterFieldText() const { return TrimBlanks(TextOf(PrinterComboBox)); }

void TWinConfigurationForm::FormShow() {
  const TConfig c = ConfigSnapshot();
  SetText(ServerNameEdit, c.ServerName);
  SetText(DatabaseNameEdit, c.DatabaseName);
  SetText(UrlEdit, c.Url);
  SetText(KeyEdit, c.Key);
  SetText(SecretEdit, c.Secret);
  SetText(WarehouseCodeEdit, c.WarehouseCode);

  SetChecked(PrintLocationCheckBox, c.PrintItemLocation);
  const TBarcodeBoxes boxes = BarcodeBoxesFor(c);
  const std::pair<HWND, TCheckState> states[] = {{PrintItemBarcodeCheckBox, boxes.PrintItemBarcode},
                                                 {OnlyPrintNumberAsBarcodeCheckBox, boxes.OnlyPrintNumber},
                                                 {ProductCodeAsBarcodeCheckBox, boxes.ProductCodeAsBarcode}};
  for (const auto& [box, state] : states) {
    SetChecked(box, state.Checked);
    EnableWindow(box, state.Enabled);
  }

  ListedPrinters = Printers();
  const TPrinterChoice choice = ChoosePrinter(c.PrinterName, ListedPrinters);
  SendMessageW(PrinterComboBox, CB_RESETCONTENT, 0, 0);
  for (const std::string& name : choice.Items)
    SendMessageW(PrinterComboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  VanishedPrinter = choice.Vanished;
  SendMessageW(PrinterComboBox, CB_SETCURSEL, static_cast<WPARAM>(choice.Selected), 0);
  if (choice.Selected < 0) SetText(PrinterComboBox, choice.EditText);
  UpdatePrinterStatus();

  SetChecked(GraphicModeCheckBox, c.GraphicMode);

  // A selection outside the list shows no selection (and saves as -1).
  const int stored[] = {c.Desc1, c.Desc2, c.Desc3, c.Desc4};
  for (int i = 0; i < 4; ++i) {
    const int count = static_cast<int>(SendMessageW(DescComboBox[i], CB_GETCOUNT, 0, 0));
    SendMessageW(DescComboBox[i], CB_SETCURSEL, static_cast<WPARAM>(LanguageSelection(stored[i], count)), 0);
  }
}

void TWinConfigurationForm::BarcodeBoxClicked(int id) {
  auto state = [](HWND box) { return TCheckState{Checked(box), IsWindowEnabled(box) != FALSE}; };
  TBarcodeBoxes b{state(PrintItemBarcodeCheckBox), state(OnlyPrintNumberAsBarcodeCheckBox),
                  state(ProductCodeAsBarcodeCheckBox)};
  if (id == kPrintBarcodeId) PrintItemBarcodeChanged(b);
  else OnlyPrintNumberChanged(b);
  const std::pair<HWND, TCheckState> states[] = {{PrintItemBarcodeCheckBox, b.PrintItemBarcode},
                                                 {OnlyPrintNumberAsBarcodeCheckBox, b.OnlyPrintNumber},
                                                 {ProductCodeAsBarcodeCheckBox, b.ProductCodeAsBarcode}};
  for (const auto& [box, s] : states) {
    SetChecked(box, s.Checked);
    EnableWindow(box, s.Enabled);
  }
}

void TWinConfigurationForm::UpdatePrinterStatus() {
  SetText(PrinterStatusLabel, PrinterStatusText(PrinterFieldText(), ListedPrinters, VanishedPrinter));
}

void TWinConfigurationForm::SaveButtonClick() {
  const TConfig before = ConfigSnapshot();  // Debug is kept as loaded
  TSetupFields f;
  f.ServerName = TextOf(ServerNameEdit);
  f.DatabaseName = TextOf(DatabaseNameEdit);
  f.Url = TrimBlanks(TextOf(UrlEdit));
  f.Key = TrimBlanks(TextOf(KeyEdit));
  f.Secret = TrimBlanks(TextOf(SecretEdit));
  f.Printer = PrinterFieldText();  // empty: no printer
  f.GraphicMode = Checked(GraphicModeCheckBox);
  f.PrintItemBarcode = Checked(PrintItemBarcodeCheckBox);
  f.ProductCodeAsBarcode = Checked(ProductCodeAsBarcodeCheckBox);
  f.OnlyPrintNumber = Checked(OnlyPrintNumberAsBarcodeCheckBox);
  f.PrintLocation = Checked(PrintLocationCheckBox);
  f.WarehouseCode = TextOf(WarehouseCodeEdit);
  for (int i = 0; i < 4; ++i) f.Desc[i] = static_cast<int>(SendMessageW(DescComboBox[i], CB_GETCURSEL, 0, 0));
  SetConfig(SettingsFromFields(before, f));
  try {
    SaveConfig();
  } catch (const std::exception& e) {
    // The file could not be written: keep the old settings in force and the
    // dialog open with what the user typed, so nothing is lost.
    SetConfig(before);
    MessageBoxW(Handle, Wide(e.what()).c_str(), L"Configuration", MB_OK | MB_ICONERROR);
    return;
  }
  if (ReinitShop) ReinitShop();
  ReturnFlag = true;
  Done = true;
}

void TWinConfigurationForm::CancelButtonClick() {
  ReturnFlag = false;
  Done = true;
}

void TWinConfigurationForm::Show() {
  ShowWindow(Handle, SW_SHOW);
  UpdateWindow(Handle);
}

void TWinConfigurationForm::ShowModal() {
  const bool ownerWasEnabled = Owner && IsWindowEnabled(Owner);
  if (ownerWasEnabled) EnableWindow(Owner, FALSE);
  Show();
  SetFocus(ServerNameEdit);
  MSG msg;
  bool quit = false;
  int quitCode = 0;
  while (!Done) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {  // WM_QUIT: the program ends; hand it on to the main loop
      quit = true;
      quitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (got < 0) break;
    if (IsDialogMessageW(Handle, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (ownerWasEnabled) EnableWindow(Owner, TRUE);
  ShowWindow(Handle, SW_HIDE);
  if (Owner) SetActiveWindow(Owner);
  if (quit) PostQuitMessage(quitCode);
}

LRESULT CALLBACK TWinConfigurationForm::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    reinterpret_cast<TWinConfigurationForm*>(create->lpCreateParams)->Handle = hwnd;
  }
  auto* self = reinterpret_cast<TWinConfigurationForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  return self->Handle_(msg, wp, lp);
}

LRESULT TWinConfigurationForm::Handle_(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wp);
      RECT r;
      GetClientRect(Handle, &r);
      FillGradient(dc, r, RGB(0xee, 0xf3, 0xfa), RGB(0xd6, 0xe2, 0xf2));
      PaintPanel(dc, RECT{kPanelX, kPanelY, kPanelX + kPanelW, kPanelY + kPanelH}, kFill, kFill, kBorder, 2);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Labels, check boxes and group boxes lie on the panel's fill.
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkColor(dc, kFill);
      if (reinterpret_cast<HWND>(lp) == PrinterStatusLabel) SetTextColor(dc, RGB(0x7a, 0x1f, 0x00));
      return reinterpret_cast<LRESULT>(PanelBrush);
    }
    case WM_DRAWITEM:
      PaintRoundedButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_COMMAND: {
      const WORD id = LOWORD(wp), code = HIWORD(wp);
      if (id == IDOK) SaveButtonClick();
      else if (id == IDCANCEL) CancelButtonClick();
      else if ((id == kPrintBarcodeId || id == kOnlyNumberId) && code == BN_CLICKED) BarcodeBoxClicked(id);
      else if (id == kPrinterId && code == CBN_EDITCHANGE) UpdatePrinterStatus();
      else if (id == kPrinterId && code == CBN_SELCHANGE)
        // The field's text changes after this notification: look again then.
        PostMessageW(Handle, WM_COMMAND, MAKEWPARAM(kPrinterId, CBN_EDITCHANGE), lp);
      else break;
      return 0;
    }
    case WM_CLOSE:
      // The close box: the flag stays as it is (false).
      Done = true;
      return 0;
  }
  return DefWindowProcW(Handle, msg, wp, lp);
}

bool SetupPro(HWND owner, std::function<void()> reinitShop, TPrinterSource printers) {
  TWinConfigurationForm form(owner, std::move(reinitShop), std::move(printers));
  form.ShowModal();
  return form.ReturnFlag;
}

}  // namespace ooa::win
