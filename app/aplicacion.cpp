#include "app/aplicacion.h"

#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>
#include <clocale>

#include "app/interfaz_qt.h"
#include "app/rutas_qt.h"

namespace tov {

void prepararAplicacion(QApplication& app) {
  // The decimal separator of weekly hours and the export's date format follow the user.
  std::setlocale(LC_ALL, "");
  QApplication::setApplicationName(QString::fromLatin1(kTituloAplicacion));
  // Liberation Sans has Arial's metrics and is the nearest to MS Sans Serif at 8 point.
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  // The file dialog and the boxes' "Mostrar detalles..." speak the window's language.
  auto* traductor = new QTranslator(&app);
  if (traductor->load(QStringLiteral("qtbase_es"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(traductor);
}

std::filesystem::path carpetaEjecutable() {
  return rutaDe(QCoreApplication::applicationDirPath());
}

}  // namespace tov
