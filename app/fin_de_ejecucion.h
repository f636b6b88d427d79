// How both runs end, for the user and for the host.
#pragma once
#include "app/estado_programa.h"
#include "app/informe.h"
#include "app/interfaz.h"

namespace tov {

// No input to convert: the message, then in host mode the status -1 and the window closed
// (which hands the status to the host).
inline void terminarSinEntrada(EstadoPrograma& estado, Interfaz& ui, const char* mensaje) {
  ui.mostrarMensaje(mensaje);
  if (estado.modoAnfitrion()) {
    estado.EstadoTransformado = -1;
    ui.cerrarVentana();
  }
}

// A completed run: status 1, "Proceso finalizado" with the report as its detail, and in host
// mode the window closed once the user has acknowledged it.
inline void terminarCompletado(EstadoPrograma& estado, Interfaz& ui, const Informe& informe) {
  estado.EstadoTransformado = 1;
  ui.mostrarMensaje("Proceso finalizado", informe.texto());
  if (estado.modoAnfitrion()) ui.cerrarVentana();
}

}  // namespace tov
