#include "gui/print/QtCanvasPrinter.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include "print/PrinterOutput.h"
#include "gui/print/QtCanvasFonts.h"

namespace ooa {

namespace {

class TQtCanvasPrinter : public ICanvasPrinter {
 public:
  explicit TQtCanvasPrinter(const TCanvasTarget& target) : Target(target), Printer(QPrinter::HighResolution) {
    if (!Target.PdfFile.empty()) {
      Printer.setOutputFormat(QPrinter::PdfFormat);
      Printer.setOutputFileName(QString::fromStdString(Target.PdfFile));
      // A receipt roll: 80 mm wide, cut into pages of 200 mm.
      Printer.setPageSize(QPageSize(QSizeF(80, 200), QPageSize::Millimeter, "Receipt"));
      Printer.setPageMargins(QMarginsF(2, 2, 2, 2), QPageLayout::Millimeter);
      Printer.setResolution(203);
    } else {
      Printer.setPrinterName(QString::fromStdString(Target.Queue));
    }
    Printer.setDocName(QString::fromStdString(Target.DocumentName.empty() ? "Receipt" : "Receipt " + Target.DocumentName));
  }

  ~TQtCanvasPrinter() override {
    if (Painter.isActive()) Painter.end();
  }

  void BeginDoc() override {
    if (Target.PdfFile.empty() && !Printer.isValid())
      throw TPrintError("printer \"" + Target.Queue + "\" cannot print a page");
    if (!Painter.begin(&Printer))
      throw TPrintError("cannot start a document on " +
                        (Target.PdfFile.empty() ? "\"" + Target.Queue + "\"" : Target.PdfFile));
    Painter.setPen(Qt::black);
  }

  void EndDoc() override {
    if (Painter.isActive() && !Painter.end()) throw TPrintError("the document could not be ended");
  }

  bool Printing() const override { return Painter.isActive(); }

  void NewPage() override {
    if (!Printer.newPage()) throw TPrintError("the printer refuses a new page");
  }

  int PageHeight() const override { return Printer.height(); }

  void SetFont(const TCanvasFont& font) override {
    Font = font;
    Role = RoleOf(font);
    if (Role == TCanvasFontRole::Text && Painter.isActive()) Painter.setFont(QtFontFor(font));
  }

  int TextHeight(const std::string& utf8) override {
    switch (Role) {
      case TCanvasFontRole::Control:
        return QFontMetrics(QtFontFor(Font), &Printer).height();
      case TCanvasFontRole::Barcode:
        return BarHeight() + QFontMetrics(HriFont(), &Printer).height();
      case TCanvasFontRole::Text:
        break;
    }
    return QFontMetrics(QtFontFor(Font), &Printer).height();
  }

  void TextOut(int x, int y, const std::string& utf8) override {
    if (!Painter.isActive()) throw TPrintError("no document is open");
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    switch (Role) {
      case TCanvasFontRole::Control:
        return;  // a printer function of the receipt driver: no mark on the page
      case TCanvasFontRole::Barcode:
        DrawBarcode(x, y, text);
        return;
      case TCanvasFontRole::Text:
        break;
    }
    const QFont f = QtFontFor(Font);
    Painter.setFont(f);
    Painter.drawText(x, y + QFontMetrics(f, &Printer).ascent(), text);
  }

 private:
  int Dots(double mm) const { return static_cast<int>(mm * Printer.resolution() / 25.4 + 0.5); }
  int BarHeight() const { return Dots(8); }
  QFont HriFont() const {
    TCanvasFont f;
    f.Name = "FONTA11";
    f.Size = 8;
    return QtFontFor(f);
  }

  // Bars from the bytes of the text (they show the barcode's place and length)
  // with the text below, left-justified as the driver does.
  void DrawBarcode(int x, int y, const QString& text) {
    const int module = std::max(1, Dots(0.25));
    const QByteArray bytes = text.toLatin1();
    int pos = x;
    auto bar = [&](bool dark) {
      if (dark) Painter.fillRect(pos, y, module, BarHeight(), Qt::black);
      pos += module;
    };
    for (bool b : {true, false, true, true, false}) bar(b);
    for (char c : bytes) {
      const unsigned v = (static_cast<unsigned char>(c) * 37u + 11u) & 0x1FFu;
      for (int i = 0; i < 9; ++i) bar(((v >> i) & 1u) != 0 || i == 0);
      bar(false);
    }
    for (bool b : {true, true, false, true}) bar(b);
    const QFont f = HriFont();
    Painter.setFont(f);
    Painter.drawText(x, y + BarHeight() + QFontMetrics(f, &Printer).ascent(), text);
  }

  TCanvasTarget Target;
  QPrinter Printer;
  QPainter Painter;
  TCanvasFont Font;
  TCanvasFontRole Role = TCanvasFontRole::Text;
};

}  // namespace

std::unique_ptr<ICanvasPrinter> CreateQtCanvasPrinter(const TCanvasTarget& target) {
  // Fonts and printers need the GUI application (a headless run has none).
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
    throw TPrintError("no canvas printer (no GUI application)");
  return std::make_unique<TQtCanvasPrinter>(target);
}

void RegisterQtCanvasPrinter() { SetCanvasPrinterFactory(&CreateQtCanvasPrinter); }

}  // namespace ooa
