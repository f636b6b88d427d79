// The program-wide values shared by the window and both runs.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/carpeta_trabajo.h"
#include "centre_to_timetable/codigos_cortos.h"

namespace tov {

struct EstadoPrograma {
  // 0 nothing completed, 1 a run completed, -1 a run in host mode found no input.
  std::int32_t EstadoTransformado = 0;
  // 2 once the window has taken the host's handle (host mode), otherwise 0.
  std::int32_t NumParametros = 0;
  // The XML document confirmed last in the file dialog, by either run.
  std::filesystem::path FicheroXML;
  ListaCatalogo ListaCodigos;
  ListaCatalogo ListaNombres;
  std::vector<std::string> ListBoxPlanti;
  std::filesystem::path carpetaTrabajo = carpetaTrabajoPorDefecto();

  bool modoAnfitrion() const { return NumParametros == 2; }
};

}  // namespace tov
