#include "gui/win/WinProblemsPanel.h"

#include <commctrl.h>

#include "gui/win/WinUi.h"
#include "service/ProblemsPanelLogic.h"

namespace ooa::win {

namespace {

constexpr LPARAM kReasonRow = 0x10000;  // the row below an entry (its index in the low bits)

int InsertRow(HWND list, int row, const std::string& text, LPARAM param) {
  std::wstring w = Wide(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = row;
  item.pszText = w.data();
  item.lParam = param;
  return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetCell(HWND list, int row, int column, const std::string& text) {
  std::wstring w = Wide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = w.data();
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
  return CreateWindowExW(0, cls, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

TWinProblemsPanel::TWinProblemsPanel(HWND parent, const RECT& r) {
  ProblemList = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0, 0, 0,
                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
                                GetModuleHandleW(nullptr), nullptr);
  SendMessageW(ProblemList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
  ReprintButton = Child(parent, L"BUTTON", L"Print Again", WS_TABSTOP | BS_PUSHBUTTON, kReprintId);
  DismissButton = Child(parent, L"BUTTON", L"Dismiss", WS_TABSTOP | BS_PUSHBUTTON, kDismissId);
  StatusLabel = Child(parent, L"STATIC", L"", SS_LEFT | SS_ENDELLIPSIS | SS_CENTERIMAGE, kStatusId);

  const int x = r.left + 2, y = r.top + 2, w = r.right - r.left - 4, h = r.bottom - r.top - 4;
  const int buttonH = 23, buttonW = 80, gap = 3;
  MoveWindow(ProblemList, x, y, w, h - buttonH - gap, FALSE);
  const int by = y + h - buttonH;
  MoveWindow(DismissButton, x + w - buttonW, by, buttonW, buttonH, FALSE);
  MoveWindow(ReprintButton, x + w - 2 * buttonW - gap, by, buttonW, buttonH, FALSE);
  MoveWindow(StatusLabel, x + 2, by, w - 2 * buttonW - 2 * gap - 2, buttonH, FALSE);
  for (HWND c : {ProblemList, ReprintButton, DismissButton, StatusLabel})
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);

  const int dateW = 120;
  const int problemW = w - 2 * dateW - GetSystemMetrics(SM_CXVSCROLL) - 6;
  const wchar_t* titles[] = {L"Problem", L"First try", L"Last try"};
  const int widths[] = {problemW, dateW, dateW};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = const_cast<wchar_t*>(titles[i]);
    col.cx = widths[i];
    SendMessageW(ProblemList, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
  }
  Refresh();
}

void TWinProblemsPanel::Show(bool shown) {
  for (HWND c : {ProblemList, ReprintButton, DismissButton, StatusLabel}) ShowWindow(c, shown ? SW_SHOW : SW_HIDE);
}

void TWinProblemsPanel::CheckFile() {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::u8path(ProblemListPath());
  const auto modified = std::filesystem::last_write_time(path, error);
  const long long size = error ? -1 : static_cast<long long>(std::filesystem::file_size(path, error));
  if (!error && modified == SeenModified && size == SeenSize) return;
  if (error && SeenSize == -1) return;
  Refresh();
}

void TWinProblemsPanel::Refresh() {
  const std::string path = ProblemListPath();
  std::error_code error;
  const std::filesystem::path file = std::filesystem::u8path(path);
  SeenModified = std::filesystem::last_write_time(file, error);
  SeenSize = error ? -1 : static_cast<long long>(std::filesystem::file_size(file, error));
  if (error) SeenSize = -1;

  std::string selectedId;
  if (const TProblem* p = Selected()) selectedId = p->Id;
  TOpenProblems open = LoadOpenProblems(path);
  if (!open.Error.empty()) {
    SetText(StatusLabel, open.Error);
    return;
  }
  Entries = std::move(open.Entries);

  SendMessageW(ProblemList, WM_SETREDRAW, FALSE, 0);
  SendMessageW(ProblemList, LVM_DELETEALLITEMS, 0, 0);
  int row = 0;
  for (size_t i = 0; i < Entries.size(); ++i) {
    const TProblem& p = Entries[i];
    const int at = InsertRow(ProblemList, row++, ProblemLine(p), static_cast<LPARAM>(i));
    SetCell(ProblemList, at, 1, p.FirstTry);
    SetCell(ProblemList, at, 2, p.LastTry);
    InsertRow(ProblemList, row++, "    " + p.Reason, kReasonRow | static_cast<LPARAM>(i));
    if (p.Id == selectedId) {
      LVITEMW state{};
      state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageW(ProblemList, LVM_SETITEMSTATE, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&state));
    }
  }
  SendMessageW(ProblemList, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(ProblemList, nullptr, TRUE);

  SetText(StatusLabel, StatusAfterRefresh(TextOf(StatusLabel), Entries.empty()));
  UpdateButtons();
  const int count = static_cast<int>(Entries.size());
  if (count != SeenCount) {
    SeenCount = count;
    if (OpenCountChanged) OpenCountChanged(count);
  }
}

const TProblem* TWinProblemsPanel::Selected() const {
  const int row = static_cast<int>(SendMessageW(ProblemList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0) return nullptr;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageW(ProblemList, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  // The reason row stands for its entry.
  const size_t index = static_cast<size_t>(item.lParam & ~kReasonRow);
  return index < Entries.size() ? &Entries[index] : nullptr;
}

void TWinProblemsPanel::UpdateButtons() {
  const TProblem* p = Selected();
  EnableWindow(ReprintButton, CanReprint(p));
  EnableWindow(DismissButton, CanDismiss(p));
}

void TWinProblemsPanel::ReprintSelected() {
  const TProblem* p = Selected();
  if (!p || p->Kind != "receipt") return;
  SetText(StatusLabel, ReprintProblem(ProblemListPath(), *p));
  Refresh();
}

void TWinProblemsPanel::DismissSelected() {
  const TProblem* p = Selected();
  if (!p) return;
  SetText(StatusLabel, DismissProblem(ProblemListPath(), *p));
  Refresh();
}

bool TWinProblemsPanel::Command(WORD id, WORD code) {
  if (code != BN_CLICKED) return false;
  if (id == kReprintId) ReprintSelected();
  else if (id == kDismissId) DismissSelected();
  else return false;
  return true;
}

bool TWinProblemsPanel::Notify(const NMHDR& header, LRESULT& result) {
  if (header.hwndFrom != ProblemList) return false;
  if (header.code == LVN_ITEMCHANGED) {
    UpdateButtons();
    result = 0;
    return true;
  }
  if (header.code == NM_CUSTOMDRAW) {
    auto& draw = const_cast<NMLVCUSTOMDRAW&>(reinterpret_cast<const NMLVCUSTOMDRAW&>(header));
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
      result = CDRF_NOTIFYITEMDRAW;
    } else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
      if (draw.nmcd.lItemlParam & kReasonRow) draw.clrText = RGB(0x3a, 0x4a, 0x66);
      result = CDRF_DODEFAULT;
    } else {
      result = CDRF_DODEFAULT;
    }
    return true;
  }
  return false;
}

}  // namespace ooa::win
