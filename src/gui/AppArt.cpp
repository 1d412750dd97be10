#include "gui/AppArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace ooa {

namespace {

QPixmap IconPixmap(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF r(0.5, 0.5, size - 1.0, size - 1.0);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(120, 170, 230));
  g.setColorAt(1, QColor(30, 80, 160));
  QPainterPath path;
  path.addRoundedRect(r, size * 0.2, size * 0.2);
  p.fillPath(path, g);
  p.setPen(QPen(QColor(20, 50, 110), size / 32.0 + 0.5));
  p.drawPath(path);
  // Two arrows: goods out to the shop, orders back in.
  p.setPen(QPen(Qt::white, size / 10.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  double m = size * 0.22, w = size - 2 * m;
  p.drawLine(QPointF(m, m + w * 0.3), QPointF(m + w, m + w * 0.3));
  p.drawLine(QPointF(m + w * 0.75, m + w * 0.1), QPointF(m + w, m + w * 0.3));
  p.drawLine(QPointF(m + w, m + w * 0.7), QPointF(m, m + w * 0.7));
  p.drawLine(QPointF(m + w * 0.25, m + w * 0.9), QPointF(m, m + w * 0.7));
  return pm;
}

}  // namespace

QIcon AppIcon() {
  QIcon icon;
  for (int s : {16, 22, 32, 48, 64}) icon.addPixmap(IconPixmap(s));
  return icon;
}

QPixmap BannerPicture(const QSize& size) {
  QPixmap pm(size);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, size.height());
  g.setColorAt(0, QColor(250, 252, 255));
  g.setColorAt(1, QColor(200, 218, 240));
  p.fillRect(pm.rect(), g);
  // Soft bands across the banner.
  for (int i = 0; i < 3; ++i) {
    QPainterPath wave;
    double y = size.height() * (0.55 + 0.14 * i);
    wave.moveTo(0, y);
    wave.cubicTo(size.width() * 0.3, y - 24, size.width() * 0.6, y + 24, size.width(), y - 6);
    wave.lineTo(size.width(), size.height());
    wave.lineTo(0, size.height());
    wave.closeSubpath();
    p.fillPath(wave, QColor(133, 156, 205, 28 + 10 * i));
  }
  return pm;
}

}  // namespace ooa
