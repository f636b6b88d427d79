// A builder's world for one test: an inline centre document loaded from a temporary
// folder, empty catalogue lists and report, and the same folder for the tables.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/informe.h"
#include "app/sistema_archivos.h"
#include "apoyo/carpeta_temporal.h"
#include "centre_to_timetable/contexto.h"
#include "formats/documento_xml.h"

namespace tov::prueba {

class EntornoGenerador {
 public:
  // `cuerpo` is what goes inside <Centro>...</Centro>.
  explicit EntornoGenerador(const std::string& cuerpo)
      : doc(cargar(carpeta, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Centro>\n" + cuerpo +
                                "\n</Centro>\n")),
        ctx{doc,     carpeta.ruta(), codigos,   nombres,
            plantillas, informe,     SistemaArchivos::real()} {}

  CarpetaTemporal carpeta;
  XmlDocument doc;
  ListaCatalogo codigos;
  ListaCatalogo nombres;
  std::vector<std::string> plantillas;
  Informe informe;
  Contexto ctx;

 private:
  static XmlDocument cargar(const CarpetaTemporal& c, const std::string& xml) {
    escribirArchivo(c / "centro.xml", xml);
    return XmlDocument::load(c / "centro.xml");
  }
};

}  // namespace tov::prueba
