#include "app_icon.hpp"

#include <QPainter>
#include <QPainterPath>

namespace pelmora::gui {

QPixmap AppIconPixmap(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(size / 32.0, size / 32.0);
  // The sheet.
  p.setPen(QPen(QColor(0x40, 0x50, 0x60), 1.0));
  p.setBrush(QColor(0xfb, 0xf8, 0xe8));
  p.drawRect(QRectF(3.5, 3.5, 25, 25));
  // A block and a building.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xc8, 0xe6, 0xb0));
  p.drawRect(QRectF(6, 6, 9, 8));
  p.setBrush(QColor(0xe0, 0x90, 0x70));
  p.drawRect(QRectF(19, 18, 6, 6));
  // A river.
  QPainterPath river;
  river.moveTo(4, 22);
  river.cubicTo(10, 18, 14, 28, 28, 24);
  p.setPen(QPen(QColor(0x30, 0x80, 0xd0), 2.5));
  p.setBrush(Qt::NoBrush);
  p.drawPath(river);
  // A road.
  p.setPen(QPen(QColor(0xd0, 0x30, 0x30), 2.0));
  p.drawLine(QPointF(17, 4), QPointF(12, 28));
  // The frame again on top.
  p.setPen(QPen(QColor(0x40, 0x50, 0x60), 1.0));
  p.drawRect(QRectF(3.5, 3.5, 25, 25));
  return pm;
}

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(AppIconPixmap(size));
  return icon;
}

}  // namespace pelmora::gui
