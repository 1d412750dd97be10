#include "gui/controls/GradientPanel.h"

#include <QLinearGradient>
#include <QPainter>

namespace ooa {

TGradientPanel::TGradientPanel(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGradientPanel::SetColors(const QColor& top, const QColor& bottom) {
  Top = top;
  Bottom = bottom;
  update();
}

void TGradientPanel::SetBorder(const QColor& color, int width) {
  Border = color;
  BorderPx = width < 0 ? 0 : width;
  update();
}

void TGradientPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = rect();
  if (BorderPx > 0) {
    p.fillRect(r, Border);
    r.adjust(BorderPx, BorderPx, -BorderPx, -BorderPx);
  }
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, Top);
  g.setColorAt(1, Bottom);
  p.fillRect(r, g);
}

}  // namespace ooa
