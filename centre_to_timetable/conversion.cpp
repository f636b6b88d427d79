#include "centre_to_timetable/conversion.h"

#include <system_error>

#include "app/errores.h"
#include "app/sistema_archivos.h"
#include "centre_to_timetable/bloqueo_carpeta.h"
#include "centre_to_timetable/sustitucion_tablas.h"
#include "formats/documento_xml.h"

namespace fs = std::filesystem;

namespace tov {
namespace {

// Creates the work folder when missing; a failed run removes it again if it is still empty,
// so that nothing is left behind.
class CarpetaCreada {
 public:
  CarpetaCreada(const fs::path& carpeta, SistemaArchivos& archivos)
      : carpeta_(carpeta), archivos_(archivos) {
    std::error_code ec;
    if (fs::is_directory(carpeta, ec)) return;
    if (fs::exists(fs::symlink_status(carpeta, ec)))
      throw ErrorArchivo("La carpeta de trabajo " + carpeta.string() +
                         " no es una carpeta: hay un archivo con ese nombre");
    archivos_.crearCarpeta(carpeta);
    creada_ = true;
  }
  void conservar() { creada_ = false; }
  ~CarpetaCreada() {
    std::error_code ec;
    if (creada_ && fs::is_empty(carpeta_, ec)) fs::remove(carpeta_, ec);
  }

 private:
  fs::path carpeta_;
  SistemaArchivos& archivos_;
  bool creada_ = false;
};

}  // namespace

Informe convertirCentro(const fs::path& xml, const Conversion& conversion,
                        ListaCatalogo& ListaCodigos, ListaCatalogo& ListaNombres,
                        std::vector<std::string>& ListBoxPlanti) {
  SistemaArchivos& archivos = conversion.archivos ? *conversion.archivos : SistemaArchivos::real();
  const auto& generadores =
      conversion.generadores ? *conversion.generadores : generadoresDeLaConversion();

  // A document that cannot be used stops the run before anything is touched. The builders
  // read elements and attributes only: the text between them is not built.
  XmlDocument DocXML = XmlDocument::load(xml, XmlDocument::Keep::Elements);

  CarpetaCreada carpeta(conversion.carpeta, archivos);
  BloqueoCarpeta bloqueo(conversion.carpeta);
  SustitucionTablas sustitucion(conversion.carpeta, archivos);

  ListaCodigos.vaciar();
  ListaNombres.vaciar();
  Informe informe;
  Contexto ctx{DocXML, sustitucion.nuevo(), ListaCodigos, ListaNombres, ListBoxPlanti, informe,
               archivos};
  for (const auto& g : generadores) g.generar(ctx);

  sustitucion.confirmar();
  carpeta.conservar();
  return informe;
}

}  // namespace tov
