#include "timetable_to_centre/bimportar.h"

#include "app/fin_de_ejecucion.h"
#include "app/informe.h"
#include "app/sistema_archivos.h"
#include "timetable_to_centre/exportacion_solucion.h"

namespace tov {

void BImportarClick(EstadoPrograma& estado, Interfaz& ui) {
  ui.mostrarMensaje(
      "Deberá Abrir el fichero XML de LUMBRA-Zetra,\r\n"
      "desde el cual realizó la Importación a Orvantis");
  // A cancelled dialog keeps the document chosen earlier by either run.
  if (auto elegido = ui.elegirArchivo(estado.FicheroXML)) estado.FicheroXML = *elegido;
  if (!existeEntradaSolucion(estado.FicheroXML, estado.carpetaTrabajo)) {
    terminarSinEntrada(estado, ui, "No existe archivo XML o Solución.");
    return;
  }
  Informe informe;
  {
    // Errors leave through here with the pointer restored and the status unchanged.
    CursorOcupado cursor(ui);
    informe = exportarSolucion(estado.FicheroXML, estado.carpetaTrabajo, SistemaArchivos::real(),
                               rutaResultado(estado.FicheroXML));
  }
  terminarCompletado(estado, ui, informe);
}

}  // namespace tov
