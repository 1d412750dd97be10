#include "gui/controls/RoundedGradientButton.h"

#include <QEnterEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace ooa {

TButtonColors ColorsOf(TButtonScheme scheme) {
  switch (scheme) {
    case TButtonScheme::Silver:
      return {QColor(250, 250, 252), QColor(206, 212, 222), QColor(140, 148, 162), QColor(30, 30, 30)};
    case TButtonScheme::Green:
      return {QColor(214, 240, 206), QColor(120, 186, 104), QColor(70, 130, 60), QColor(20, 40, 16)};
    case TButtonScheme::Red:
      return {QColor(250, 214, 206), QColor(214, 110, 96), QColor(150, 60, 50), QColor(50, 12, 8)};
    case TButtonScheme::Blue:
    default:
      return {QColor(234, 242, 252), QColor(158, 188, 228), QColor(96, 124, 180), QColor(16, 32, 64)};
  }
}

TRoundedGradientButton::TRoundedGradientButton(const QString& text, QWidget* parent, TButtonScheme scheme)
    : QPushButton(text, parent), SchemeValue(scheme) {
  setAttribute(Qt::WA_Hover);
  setCursor(Qt::PointingHandCursor);
}

void TRoundedGradientButton::SetScheme(TButtonScheme scheme) {
  SchemeValue = scheme;
  update();
}

void TRoundedGradientButton::SetRadius(int radius) {
  Radius = radius;
  update();
}

void TRoundedGradientButton::enterEvent(QEnterEvent* event) {
  Hover = true;
  update();
  QPushButton::enterEvent(event);
}

void TRoundedGradientButton::leaveEvent(QEvent* event) {
  Hover = false;
  update();
  QPushButton::leaveEvent(event);
}

void TRoundedGradientButton::paintEvent(QPaintEvent*) {
  TButtonColors c = ColorsOf(SchemeValue);
  if (!isEnabled()) {
    c = {QColor(240, 240, 240), QColor(214, 214, 214), QColor(170, 170, 170), QColor(150, 150, 150)};
  } else if (isDown()) {
    c.Top = c.Top.darker(112);
    c.Bottom = c.Bottom.darker(118);
  } else if (Hover) {
    c.Top = c.Top.lighter(104);
    c.Bottom = c.Bottom.lighter(112);
  }

  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath path;
  path.addRoundedRect(r, Radius, Radius);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, c.Top);
  g.setColorAt(1, c.Bottom);
  p.fillPath(path, g);
  p.setPen(QPen(hasFocus() ? c.Border.darker(130) : c.Border, 1));
  p.drawPath(path);

  p.setPen(c.Text);
  p.setFont(font());
  QRect textRect = rect();
  if (isDown()) textRect.translate(1, 1);
  p.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

}  // namespace ooa
