// The conversion run: the centre document into a fresh set of work tables, all or nothing.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "app/informe.h"
#include "centre_to_timetable/contexto.h"

namespace tov {

class SistemaArchivos;

struct Generador {
  std::string nombre;
  void (*generar)(Contexto&);
};

// The seven builders in the order the run calls them.
const std::vector<Generador>& generadoresDeLaConversion();

struct Conversion {
  std::filesystem::path carpeta;  // the work folder, created when missing
  SistemaArchivos* archivos = nullptr;  // nullptr: the real file system
  const std::vector<Generador>* generadores = nullptr;  // nullptr: the seven builders
};

// Loads the document, empties the catalogue lists, runs the builders into a staging folder
// inside the work folder and, when all have finished, puts their tables in place of the old
// ones. Any error leaves the work folder exactly as it was and is thrown.
Informe convertirCentro(const std::filesystem::path& xml, const Conversion& conversion,
                        ListaCatalogo& ListaCodigos, ListaCatalogo& ListaNombres,
                        std::vector<std::string>& ListBoxPlanti);

}  // namespace tov
