#include "centre_to_timetable/bexportar.h"

#include <system_error>

namespace tov {

void BExportarClick(EstadoPrograma& estado, Interfaz& ui) {
  if (auto elegido = ui.elegirArchivo(estado.FicheroXML)) estado.FicheroXML = *elegido;
  std::error_code ec;
  if (estado.FicheroXML.empty() || !std::filesystem::is_regular_file(estado.FicheroXML, ec)) {
    ui.mostrarMensaje("No existe archivo");
    if (estado.modoAnfitrion()) {
      estado.EstadoTransformado = -1;
      ui.cerrarVentana();
    }
    return;
  }
  // The run itself arrives with the conversion frame.
}

}  // namespace tov
