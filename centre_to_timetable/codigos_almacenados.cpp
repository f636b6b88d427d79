#include "centre_to_timetable/codigos_almacenados.h"

#include "app/errores.h"

namespace tov {
namespace {
// Width of ABREV in PROFT, AULAT and GRUPOST.
constexpr std::size_t kAnchoAbrev = 4;
// Prefix lengths tried in turn: each shorter one leaves room for more digits.
constexpr std::size_t kPrefijos[] = {3, 2, 1};
}  // namespace

std::string CodigosAlmacenados::guardar(std::string_view abrev, std::string_view propio,
                                        std::string_view quien) {
  std::string codigo(abrev);
  if (guardados_.contiene(codigo)) {
    codigo.clear();
    for (std::size_t largo : kPrefijos) {
      std::string libre = BuscarCodigoLibre(primeros(propio, largo), guardados_);
      if (libre.size() <= kAnchoAbrev) {
        codigo = std::move(libre);
        break;
      }
    }
    if (codigo.empty())
      throw ErrorDatos(std::string(quien) +
                       ": no queda ningún código libre de cuatro caracteres; todos los que "
                       "empiezan como su código ya están en uso");
  }
  guardados_.anadir(codigo);
  return codigo;
}

}  // namespace tov
