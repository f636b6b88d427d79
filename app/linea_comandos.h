// The command line of host mode: the mode word and the host's window handle.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tov {

// The half of the window a host asked for; `ambas` for any other mode word.
enum class Mitad { ambas, exportar, importar };

struct ModoInicio {
  bool anfitrion = false;        // exactly two parameters and the handle converted
  std::int32_t manejador = 0;    // the host's window handle (0: no parent)
  Mitad mitad = Mitad::ambas;
};

// Text to signed 32-bit integer, Delphi style: decimal, or hexadecimal after "$".
// A hexadecimal value up to FFFFFFFF wraps into the negative range. Throws tov::Error
// "'<texto>' no es un valor entero válido" otherwise.
std::int32_t convertirEntero(std::string_view texto);

// Only the letters A to Z are lowered, as the host's mode word is compared.
std::string minusculasAscii(std::string_view texto);

// `parametros` without the program's name. Standalone unless there are exactly two.
// Throws tov::Error when the second one is not a hexadecimal handle.
ModoInicio leerLineaComandos(const std::vector<std::string>& parametros);

}  // namespace tov
