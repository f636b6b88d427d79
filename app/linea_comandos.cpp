#include "app/linea_comandos.h"

#include <limits>

#include "app/errores.h"

namespace tov {
namespace {

// The marker of hexadecimal digits that the host's handle is given (it comes without one).
constexpr char kMarcaHexadecimal = '$';

[[noreturn]] void noEsEntero(std::string_view texto) {
  throw Error("'" + std::string(texto) + "' no es un valor entero válido");
}

int valorDigito(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (base == 16 && c >= 'a' && c <= 'f') v = c - 'a' + 10;
  else if (base == 16 && c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v;
}

}  // namespace

std::int32_t convertirEntero(std::string_view texto) {
  std::string_view resto = texto;
  bool negativo = false;
  int base = 10;
  if (!resto.empty() && (resto.front() == '-' || resto.front() == '+')) {
    negativo = resto.front() == '-';
    resto.remove_prefix(1);
  }
  if (!resto.empty() && resto.front() == kMarcaHexadecimal) {
    base = 16;
    resto.remove_prefix(1);
  }
  if (resto.empty()) noEsEntero(texto);
  // Hexadecimal may use all 32 bits; decimal stays within the signed range.
  const std::uint64_t limite =
      base == 16 ? std::numeric_limits<std::uint32_t>::max()
                 : std::uint64_t{std::numeric_limits<std::int32_t>::max()} + (negativo ? 1 : 0);
  std::uint64_t valor = 0;
  for (char c : resto) {
    int d = valorDigito(c, base);
    if (d < 0) noEsEntero(texto);
    valor = valor * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    if (valor > limite) noEsEntero(texto);
  }
  auto bits = static_cast<std::uint32_t>(valor);
  if (negativo) bits = 0u - bits;
  return static_cast<std::int32_t>(bits);
}

std::string minusculasAscii(std::string_view texto) {
  std::string r(texto);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

ModoInicio leerLineaComandos(const std::vector<std::string>& parametros) {
  ModoInicio modo;
  if (parametros.size() != 2) return modo;
  modo.manejador = convertirEntero(std::string(1, kMarcaHexadecimal) + parametros[1]);
  modo.anfitrion = true;
  const std::string palabra = minusculasAscii(parametros[0]);
  if (palabra == "importar") modo.mitad = Mitad::importar;
  if (palabra == "exportar") modo.mitad = Mitad::exportar;
  return modo;
}

}  // namespace tov
