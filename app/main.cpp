// transorvant: the converter's window, standalone or embedded in the timetabling host
// ("transorvant exportar|importar <window handle in hexadecimal>").
#include <QApplication>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "app/aplicacion.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tov::prepararAplicacion(app);
  // After Qt has taken its own options (-platform, -display...) out of argv.
  const std::vector<std::string> parametros(argv + 1, argv + argc);
  tov::TMForm MForm(parametros, tov::carpetaEjecutable());
  MForm.show();
  return app.exec();
}
