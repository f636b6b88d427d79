// Scripted answers for tests that drive the real program without a user. Never set in use:
//   TOV_PRUEBA_DIALOGO=cancelar | <ruta>  the file dialog answers at once, without showing
//   TOV_PRUEBA_MENSAJES=aceptar           every message box is accepted as soon as it shows,
//                                         and its text is copied to stderr
//   TOV_PRUEBA_PULSAR=BExportar,BClose    these buttons are clicked in order once shown
#pragma once
#include <QStringList>
#include <optional>
#include <string>

namespace tov::prueba {

// Nothing: ask the user. An empty text: cancelled. Otherwise the chosen path.
std::optional<std::string> respuestaDialogo();
bool aceptarMensajes();
QStringList botonesAPulsar();

}  // namespace tov::prueba
