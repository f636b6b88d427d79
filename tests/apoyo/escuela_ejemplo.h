// The test school (tests/datos/ies_ejemplo.xml) loaded for the builders, with empty lists
// and a temporary folder for the tables.
#pragma once
#include <string>
#include <vector>

#include "app/informe.h"
#include "app/sistema_archivos.h"
#include "apoyo/carpeta_temporal.h"
#include "centre_to_timetable/contexto.h"
#include "formats/documento_xml.h"

namespace tov::prueba {

struct EscuelaEjemplo {
  CarpetaTemporal carpeta;
  XmlDocument doc = XmlDocument::load(std::string(TOV_DATOS) + "/ies_ejemplo.xml");
  ListaCatalogo codigos;
  ListaCatalogo nombres;
  std::vector<std::string> plantillas;
  Informe informe;
  Contexto ctx{doc, carpeta.ruta(), codigos, nombres, plantillas, informe,
               SistemaArchivos::real()};
};

}  // namespace tov::prueba
