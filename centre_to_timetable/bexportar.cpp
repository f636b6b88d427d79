#include "centre_to_timetable/bexportar.h"

#include <system_error>

#include "app/fin_de_ejecucion.h"
#include "centre_to_timetable/conversion.h"

namespace tov {

void BExportarClick(EstadoPrograma& estado, Interfaz& ui) {
  if (auto elegido = ui.elegirArchivo(estado.FicheroXML)) estado.FicheroXML = *elegido;
  std::error_code ec;
  if (estado.FicheroXML.empty() || !std::filesystem::is_regular_file(estado.FicheroXML, ec)) {
    terminarSinEntrada(estado, ui, "No existe archivo");
    return;
  }
  Informe informe;
  {
    CursorOcupado cursor(ui);
    Conversion conversion;
    conversion.carpeta = estado.carpetaTrabajo;
    informe = convertirCentro(estado.FicheroXML, conversion, estado.ListaCodigos,
                              estado.ListaNombres, estado.ListBoxPlanti);
  }
  terminarCompletado(estado, ui, informe);
}

}  // namespace tov
