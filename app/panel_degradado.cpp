#include "app/panel_degradado.h"

#include <QLinearGradient>
#include <QPainter>

namespace tov {

PanelDegradado::PanelDegradado(QColor inicio, QColor medio, QColor fin, QColor fondo,
                               QWidget* padre)
    : QWidget(padre), inicio_(inicio), medio_(medio), fin_(fin), fondo_(fondo) {
  // Every pixel is painted here, so Qt need not clear the panel first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PanelDegradado::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), fondo_);
  // Pixel centres: the first row gets the start colour exactly, the last row the end colour.
  const qreal alto = height();
  QLinearGradient degradado(0, 0.5, 0, alto > 1 ? alto - 0.5 : 1);
  degradado.setColorAt(0.0, inicio_);
  degradado.setColorAt(0.5, medio_);
  degradado.setColorAt(1.0, fin_);
  p.fillRect(rect(), degradado);
}

}  // namespace tov
