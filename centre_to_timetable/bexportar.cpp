#include "centre_to_timetable/bexportar.h"

#include <system_error>

#include "centre_to_timetable/conversion.h"

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
  Informe informe;
  {
    CursorOcupado cursor(ui);
    Conversion conversion;
    conversion.carpeta = estado.carpetaTrabajo;
    informe = convertirCentro(estado.FicheroXML, conversion, estado.ListaCodigos,
                              estado.ListaNombres, estado.ListBoxPlanti);
  }
  estado.EstadoTransformado = 1;
  ui.mostrarMensaje("Proceso finalizado", informe.texto());
  if (estado.modoAnfitrion()) ui.cerrarVentana();
}

}  // namespace tov
