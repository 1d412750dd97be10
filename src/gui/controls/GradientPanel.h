// TGradientPanel: a panel filled with a vertical colour gradient inside a
// solid border of a given width; child widgets lie on top of it. The windows
// use it for the banner of the main window and the settings dialog's
// background. UI thread only; owned by its Qt parent.
#pragma once

#include <QColor>
#include <QWidget>

namespace ooa {

class TGradientPanel : public QWidget {
  Q_OBJECT
 public:
  explicit TGradientPanel(QWidget* parent = nullptr);

  // Top and bottom fill colours (equal colours give a plain fill).
  void SetColors(const QColor& top, const QColor& bottom);
  void SetBorder(const QColor& color, int width);  // width 0: no border

  QColor TopColor() const { return Top; }
  QColor BottomColor() const { return Bottom; }
  QColor BorderColor() const { return Border; }
  int BorderWidth() const { return BorderPx; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor Top{255, 255, 255};
  QColor Bottom{191, 210, 234};
  QColor Border{133, 156, 205};
  int BorderPx = 1;
};

}  // namespace ooa
