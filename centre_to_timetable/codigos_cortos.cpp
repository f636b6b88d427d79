#include "centre_to_timetable/codigos_cortos.h"

#include <charconv>

#include "formats/windows1252.h"

namespace tov {
namespace {

// Longest decimal form of the counter, uint64_t.
constexpr std::size_t kCifrasContador = 20;

std::string candidato(std::string_view prefijo, std::uint64_t contador) {
  char cifras[kCifrasContador];
  auto [fin, ec] = std::to_chars(cifras, cifras + kCifrasContador, contador);
  std::string texto(prefijo);
  texto.append(cifras, fin);
  return texto;
}

// The suffix search over any list whose members only ever grow. `clave` is the prefix in
// the list's compared form; `tomado` asks the list about a candidate in that form. The
// search resumes at the number where the last one of the same prefix stopped: every
// number below it was taken then and still is, so the first free candidate is the same
// one that counting from 1 finds.
template <typename Tomado>
std::string buscarDesde(std::string_view prefijo, std::string_view clave,
                        ReanudarBusqueda& reanudar, Tomado tomado) {
  auto it = reanudar.find(clave);
  if (it == reanudar.end()) it = reanudar.emplace(std::string(clave), 1).first;
  std::uint64_t contador = it->second;
  while (tomado(candidato(clave, contador))) ++contador;
  it->second = contador;
  return candidato(prefijo, contador);
}

}  // namespace

bool CodigosUsados::contiene(std::string_view codigo) const {
  return plegados_.find(foldCase(codigo)) != plegados_.end();
}

void CodigosUsados::anadir(std::string_view codigo) {
  plegados_.insert(foldCase(codigo));
  ++anadidos_;
}

std::string BuscarCodigoLibre(std::string_view prefijo, const ListaCatalogo& lista) {
  return buscarDesde(prefijo, prefijo, lista.reanudar_,
                     [&](const std::string& c) { return lista.contiene(c); });
}

std::string BuscarCodigoLibre(std::string_view prefijo, const CodigosUsados& lista) {
  // Digits fold to themselves, so a candidate's fold is the folded prefix plus the number.
  const std::string plegado = foldCase(prefijo);
  return buscarDesde(prefijo, plegado, lista.reanudar_, [&](const std::string& c) {
    return lista.plegados_.find(c) != lista.plegados_.end();
  });
}

std::string AcortarCodigo(std::string_view codigo) {
  // The field holds four characters: the start tells the subject, the end its level.
  constexpr std::size_t kAncho = 4;
  constexpr std::size_t kCabeza = 2;
  if (codigo.size() <= kAncho) return std::string(codigo);
  std::string corto(codigo.substr(0, kCabeza));
  corto += codigo.substr(codigo.size() - (kAncho - kCabeza));
  return corto;
}

}  // namespace tov
