#include "app/ayuda.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>
#include <system_error>

#include "app/linea_comandos.h"
#include "app/rutas_qt.h"

namespace tov {

std::optional<std::filesystem::path> archivoAyuda(const std::filesystem::path& carpeta) {
  const std::filesystem::path ruta = carpeta / kArchivoAyuda;
  std::error_code ec;
  if (minusculasAscii(ruta.extension().string()) != ".chm" ||
      !std::filesystem::is_regular_file(ruta, ec))
    return std::nullopt;
  return ruta;
}

bool abrirAyuda(const std::filesystem::path& carpeta) {
  const auto ruta = archivoAyuda(carpeta);
  if (!ruta) return false;
  QDesktopServices::openUrl(QUrl::fromLocalFile(rutaQt(*ruta)));
  return true;
}

}  // namespace tov
