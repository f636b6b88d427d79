// A panel painted with a vertical gradient through three colours, the middle one at half
// height (the halves and the bottom strip of the main window).
#pragma once
#include <QColor>
#include <QWidget>

namespace tov {

class PanelDegradado : public QWidget {
  Q_OBJECT

 public:
  PanelDegradado(QColor inicio, QColor medio, QColor fin, QColor fondo, QWidget* padre);

  QColor colorInicio() const { return inicio_; }
  QColor colorMedio() const { return medio_; }
  QColor colorFin() const { return fin_; }
  // What lies beneath the gradient; only seen if the gradient did not cover the panel.
  QColor colorPanel() const { return fondo_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QColor inicio_, medio_, fin_, fondo_;
};

}  // namespace tov
