// What every builder of the conversion run is given.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "app/informe.h"
#include "centre_to_timetable/codigos_cortos.h"
#include "formats/documento_xml.h"

namespace tov {

class SistemaArchivos;

struct Contexto {
  const XmlDocument& DocXML;
  // Folder the builders write their tables into (the run's staging folder).
  std::filesystem::path carpeta;
  ListaCatalogo& ListaCodigos;
  ListaCatalogo& ListaNombres;
  // The session builder's template list, kept in ascending order.
  std::vector<std::string>& ListBoxPlanti;
  Informe& informe;
  SistemaArchivos& archivos;
  // Session lengths left by GenerarSesiones for GenerarMateriasGrupo.
  int Duracion1 = 0;
  int Duracion2 = 0;
  int Duracion3 = 0;

  // Reads an attribute as the builders do (trimmed, Windows-1252) and notes in the
  // report every character that became '?'. `que` names the element for the user,
  // e.g. "Aula A€1".
  std::string leer(const XmlNode& nodo, std::string_view atributo);
};

}  // namespace tov
