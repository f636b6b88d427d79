#include "timetable_to_centre/bimportar.h"

#include <system_error>

namespace tov {

void BImportarClick(EstadoPrograma& estado, Interfaz& ui) {
  ui.mostrarMensaje(
      "Deberá Abrir el fichero XML de LUMBRA-Zetra,\r\n"
      "desde el cual realizó la Importación a Orvantis");
  if (auto elegido = ui.elegirArchivo(estado.FicheroXML)) estado.FicheroXML = *elegido;
  std::error_code ec;
  if (estado.FicheroXML.empty() || !std::filesystem::is_regular_file(estado.FicheroXML, ec) ||
      !std::filesystem::is_regular_file(estado.carpetaTrabajo / "SOLUC.DBF", ec)) {
    ui.mostrarMensaje("No existe archivo XML o Solución.");
    if (estado.modoAnfitrion()) {
      estado.EstadoTransformado = -1;
      ui.cerrarVentana();
    }
    return;
  }
  // The export itself arrives with the way back.
}

}  // namespace tov
