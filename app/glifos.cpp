#include "app/glifos.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tov {
namespace {

// The size of the classic bitmap-button glyphs.
constexpr int kLadoGlifo = 18;

QPixmap lienzo() {
  QPixmap pm(kLadoGlifo, kLadoGlifo);
  pm.fill(Qt::transparent);
  return pm;
}

}  // namespace

QIcon glifoAceptar() {
  QPixmap pm = lienzo();
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath marca;
  marca.moveTo(3, 9);
  marca.lineTo(7, 13);
  marca.lineTo(15, 4);
  p.setPen(QPen(QColor(0, 128, 0), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.drawPath(marca);
  p.end();
  return QIcon(pm);
}

QIcon glifoCerrar() {
  QPixmap pm = lienzo();
  QPainter p(&pm);
  // The door frame, dark, and the door swung open towards the viewer, in yellow.
  p.fillRect(QRect(4, 2, 10, 14), QColor(0, 0, 0));
  p.fillRect(QRect(5, 3, 8, 12), QColor(128, 128, 128));
  QPolygon hoja({QPoint(4, 3), QPoint(10, 1), QPoint(10, 17), QPoint(4, 15)});
  p.setPen(QColor(128, 128, 0));
  p.setBrush(QColor(255, 255, 0));
  p.drawPolygon(hoja);
  p.fillRect(QRect(8, 9, 1, 2), QColor(0, 0, 0));  // the knob
  p.end();
  return QIcon(pm);
}

}  // namespace tov
