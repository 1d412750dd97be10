#include "print/win/GdiCanvasPrinter.h"

#include <windows.h>
#include <winspool.h>
// The canvas's TextOut, not the macro for GDI's TextOutW (called by its name).
#undef TextOut

#include <algorithm>
#include <map>
#include <vector>

#include "print/PrinterOutput.h"
#include "config/win/WideText.h"

namespace ooa {

namespace {

enum class TRole { Text, Control, Barcode };

TRole RoleOf(const TCanvasFont& font) {
  if (font.Name == "control") return TRole::Control;
  if (font.Name == "Barcode1") return TRole::Barcode;
  return TRole::Text;
}

int CALLBACK FoundFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

struct TFontDelete {
  void operator()(HFONT f) const { DeleteObject(f); }
};
using TFont = std::unique_ptr<std::remove_pointer_t<HFONT>, TFontDelete>;

// The device mode the printer's driver makes of its defaults with a receipt
// roll's page (80 mm by 200 mm) asked for; empty when the driver gives none.
std::vector<BYTE> ReceiptPageMode(const std::wstring& printerName) {
  std::vector<BYTE> mode;
  std::wstring name = printerName;
  HANDLE printer = nullptr;
  if (!OpenPrinterW(name.data(), &printer, nullptr)) return mode;
  const LONG size = DocumentPropertiesW(nullptr, printer, name.data(), nullptr, nullptr, 0);
  if (size > 0) {
    mode.resize(static_cast<size_t>(size));
    auto* dm = reinterpret_cast<DEVMODEW*>(mode.data());
    if (DocumentPropertiesW(nullptr, printer, name.data(), dm, nullptr, DM_OUT_BUFFER) == IDOK) {
      dm->dmFields |= DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH;
      dm->dmPaperSize = 0;       // a size of its own
      dm->dmPaperWidth = 800;    // tenths of a millimetre
      dm->dmPaperLength = 2000;
      // The driver keeps what it can do of it.
      if (DocumentPropertiesW(nullptr, printer, name.data(), dm, dm, DM_IN_BUFFER | DM_OUT_BUFFER) != IDOK)
        DocumentPropertiesW(nullptr, printer, name.data(), dm, nullptr, DM_OUT_BUFFER);
    } else {
      mode.clear();
    }
  }
  ClosePrinter(printer);
  return mode;
}

class TGdiCanvasPrinter : public ICanvasPrinter {
 public:
  explicit TGdiCanvasPrinter(const TCanvasTarget& target) : Target(target) {}

  ~TGdiCanvasPrinter() override {
    // A document that was not ended is abandoned: half a receipt never prints.
    if (Open) AbortDoc(Dc);
    if (Dc != nullptr) {
      SelectObject(Dc, GetStockObject(SYSTEM_FONT));
      DeleteDC(Dc);
    }
  }

  void BeginDoc() override {
    const bool pdf = !Target.PdfFile.empty();
    const std::string printer = pdf ? kPdfPrinterName : Target.Queue;
    const std::wstring name = Widen(printer);
    std::vector<BYTE> mode;
    if (pdf) {
      mode = ReceiptPageMode(name);
      if (mode.empty())
        throw TPrintError("PDF file " + Target.PdfFile + ": the printer \"" + printer + "\" is not installed");
    }
    Dc = CreateDCW(L"WINSPOOL", name.c_str(), nullptr,
                   mode.empty() ? nullptr : reinterpret_cast<const DEVMODEW*>(mode.data()));
    if (Dc == nullptr) throw TPrintError("printer \"" + printer + "\" cannot print a page");
    const std::wstring title = Widen(Target.DocumentName.empty() ? "Receipt" : "Receipt " + Target.DocumentName);
    const std::wstring output = Widen(Target.PdfFile);
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title.c_str();
    doc.lpszOutput = pdf ? output.c_str() : nullptr;
    const std::string where = pdf ? Target.PdfFile : "\"" + Target.Queue + "\"";
    if (StartDocW(Dc, &doc) <= 0)
      throw TPrintError("cannot start a document on " + where + " (" + SystemErrorText(GetLastError()) + ")");
    Open = true;
    if (StartPage(Dc) <= 0) throw TPrintError("cannot start a document on " + where);
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, RGB(0, 0, 0));
    SetTextAlign(Dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
  }

  void EndDoc() override {
    if (!Open) return;
    Open = false;
    const bool pageEnded = EndPage(Dc) > 0;
    const bool docEnded = ::EndDoc(Dc) > 0;
    if (!pageEnded || !docEnded) throw TPrintError("the document could not be ended");
  }

  bool Printing() const override { return Open; }

  void NewPage() override {
    if (!Open || EndPage(Dc) <= 0 || StartPage(Dc) <= 0) throw TPrintError("the printer refuses a new page");
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, RGB(0, 0, 0));
  }

  int PageHeight() const override { return Dc != nullptr ? GetDeviceCaps(Dc, VERTRES) : 0; }

  void SetFont(const TCanvasFont& font) override {
    Font = font;
    Role = RoleOf(font);
  }

  int TextHeight(const std::string& utf8) override {
    if (Dc == nullptr) return 0;
    switch (Role) {
      case TRole::Control:
        return HeightIn(HasDeviceFont("control") ? DeviceFont() : StandInFont(Font), L"X");
      case TRole::Barcode:
        if (HasDeviceFont("Barcode1")) return HeightIn(DeviceFont(), L"X");
        return BarHeight() + HeightIn(HriFont(), L"X");
      case TRole::Text:
        break;
    }
    return HeightIn(TextFont(), L"X");
  }

  void TextOut(int x, int y, const std::string& utf8) override {
    if (!Open) throw TPrintError("no document is open");
    const std::wstring text = Widen(utf8);
    switch (Role) {
      case TRole::Control:
        // A printer function of the receipt driver; a printer without the
        // driver's "control" font has none, and no mark is made.
        if (HasDeviceFont("control")) Draw(DeviceFont(), x, y, text);
        return;
      case TRole::Barcode:
        if (HasDeviceFont("Barcode1"))
          Draw(DeviceFont(), x, y, text);
        else
          DrawBarcode(x, y, text);
        return;
      case TRole::Text:
        break;
    }
    Draw(TextFont(), x, y, text);
  }

 private:
  // Whether the printer has the named font of its own (asked once per name).
  bool HasDeviceFont(const std::string& name) {
    auto known = DeviceFonts.find(name);
    if (known != DeviceFonts.end()) return known->second;
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = Widen(name);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(Dc, &lf, FoundFont, reinterpret_cast<LPARAM>(&found), 0);
    DeviceFonts[name] = found;
    return found;
  }

  TFont MakeFont(const std::string& face, int points, bool bold, bool doubleWidth, bool device) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(std::max(points, 1), GetDeviceCaps(Dc, LOGPIXELSY), 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = device ? OUT_DEVICE_PRECIS : OUT_TT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = device ? DEFAULT_PITCH : static_cast<BYTE>(FIXED_PITCH | FF_MODERN);
    const std::wstring name = Widen(face);
    wcsncpy(lf.lfFaceName, name.c_str(), LF_FACESIZE - 1);
    if (doubleWidth) {
      TFont normal(CreateFontIndirectW(&lf));
      HGDIOBJ old = SelectObject(Dc, normal.get());
      TEXTMETRICW tm{};
      GetTextMetricsW(Dc, &tm);
      SelectObject(Dc, old);
      lf.lfWidth = tm.tmAveCharWidth * 2;
    }
    TFont font(CreateFontIndirectW(&lf));
    if (!font) throw TPrintError("the font " + face + " cannot be made");
    return font;
  }

  // The font as set, the printer's own.
  TFont DeviceFont() { return MakeFont(Font.Name, Font.Size, Font.Bold, false, true); }

  // What stands in for a text font the printer does not have: Courier New
  // at the same size, FONTA21 at double width.
  TFont StandInFont(const TCanvasFont& font) {
    return MakeFont("Courier New", font.Size, font.Bold, font.Name == "FONTA21", false);
  }

  TFont TextFont() {
    if (Font.Name != "Courier New" && HasDeviceFont(Font.Name)) return DeviceFont();
    return StandInFont(Font);
  }

  TFont HriFont() {
    TCanvasFont f;
    f.Name = "FONTA11";
    f.Size = 8;
    return StandInFont(f);
  }

  int HeightIn(const TFont& font, const std::wstring& text) {
    HGDIOBJ old = SelectObject(Dc, font.get());
    SIZE size{};
    GetTextExtentPoint32W(Dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(Dc, old);
    return size.cy;
  }

  void Draw(const TFont& font, int x, int y, const std::wstring& text) {
    HGDIOBJ old = SelectObject(Dc, font.get());
    const BOOL ok = ::TextOutW(Dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(Dc, old);
    if (!ok) throw TPrintError("the printer refuses the text (" + SystemErrorText(GetLastError()) + ")");
  }

  int Dots(double mm, int axis) const { return static_cast<int>(mm * GetDeviceCaps(Dc, axis) / 25.4 + 0.5); }
  int BarHeight() const { return Dots(8, LOGPIXELSY); }

  // Bars from the bytes of the text (they show the barcode's place and length)
  // with the text below, left-justified as the driver does.
  void DrawBarcode(int x, int y, const std::wstring& text) {
    const int module = std::max(1, Dots(0.25, LOGPIXELSX));
    const int height = BarHeight();
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    int pos = x;
    auto bar = [&](bool dark) {
      if (dark) {
        RECT r{pos, y, pos + module, y + height};
        FillRect(Dc, &r, black);
      }
      pos += module;
    };
    for (bool b : {true, false, true, true, false}) bar(b);
    for (wchar_t c : text) {
      const unsigned byte = c <= 0xFF ? static_cast<unsigned>(c) : static_cast<unsigned>('?');
      const unsigned v = (byte * 37u + 11u) & 0x1FFu;
      for (int i = 0; i < 9; ++i) bar(((v >> i) & 1u) != 0 || i == 0);
      bar(false);
    }
    for (bool b : {true, true, false, true}) bar(b);
    Draw(HriFont(), x, y + height, text);
  }

  TCanvasTarget Target;
  HDC Dc = nullptr;
  bool Open = false;
  TCanvasFont Font;
  TRole Role = TRole::Text;
  std::map<std::string, bool> DeviceFonts;
};

}  // namespace

std::unique_ptr<ICanvasPrinter> CreateGdiCanvasPrinter(const TCanvasTarget& target) {
  return std::make_unique<TGdiCanvasPrinter>(target);
}

void RegisterGdiCanvasPrinter() { SetCanvasPrinterFactory(&CreateGdiCanvasPrinter); }

}  // namespace ooa
