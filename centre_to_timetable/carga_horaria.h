// A group subject's weekly load: from the Horas text to a number of sessions of the
// run's session lengths, and the session string written beside it.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tov {

// Horas read whatever the process locale: an optional sign, then digits with at most one
// comma or point among them and at least one digit ("02,50", "2.5", ",5", "5,"). None for
// anything else, and for a value too large for a 32-bit float.
std::optional<float> leerHoras(std::string_view texto);

struct Carga {
  float sesiones = 0;              // what HORAS receives
  std::optional<float> minutos;    // none when the text is whole hours
  bool redondeada = false;         // no session length divided the minutes: hours rounded up
};

// The load of a valid Horas text (leerHoras gives a value for it) with the session lengths
// Duracion1..3. Hours and minutes are 32-bit floats as the host's tables expect.
Carga calcularCarga(std::string_view horas, int duracion1, int duracion2, int duracion3);

// n = the load rounded up: n ones up to 13, then the digits of n - 13 followed by thirteen
// ones; empty for n <= 0.
std::string cadenaSesiones(float carga);

}  // namespace tov
