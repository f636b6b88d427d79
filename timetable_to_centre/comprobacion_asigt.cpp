#include "timetable_to_centre/comprobacion_asigt.h"

#include <cmath>

#include "app/errores.h"
#include "formats/tabla_dbase.h"
#include "formats/windows1252.h"

namespace tov {
namespace {

// ASIGT's CASIG holds the school's subject code cut to the width of the field.
constexpr std::size_t kAnchoCasig = 4;
// Separates the parts of a key; no text field of a work table holds it.
constexpr char kSeparador = '\x1f';

// A text field as the table engine reads it: cut to the field, then without trailing blanks.
std::string cortado(std::string_view texto, std::size_t ancho) {
  std::string s(texto.substr(0, ancho));
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string sesiones(long n) { return std::to_string(n) + (n == 1 ? " sesión" : " sesiones"); }
std::string colocadas(long n) {
  return std::to_string(n) + (n == 1 ? " sesión colocada" : " sesiones colocadas");
}

}  // namespace

ComprobacionAsigt::Par& ComprobacionAsigt::par(const std::string& turno,
                                               const std::string& nivel,
                                               const std::string& curso,
                                               const std::string& grupo,
                                               const std::string& asig) {
  // One key buffer for every placed row: most rows find a pair already seen.
  clave_.clear();
  for (const std::string* parte : {&turno, &nivel, &curso, &grupo}) {
    clave_ += *parte;
    clave_ += kSeparador;
  }
  clave_ += asig;
  if (auto visto = indice_.find(clave_); visto != indice_.end()) return pares_[visto->second];
  auto [it, nuevo] = indice_.try_emplace(clave_, pares_.size());
  if (nuevo) {
    Par p;
    p.descripcion = windows1252ToUtf8("turno " + turno + ", nivel " + nivel + ", curso " + curso +
                                      ", grupo " + grupo + ", materia " + asig);
    pares_.push_back(std::move(p));
  }
  return pares_[it->second];
}

void ComprobacionAsigt::colocar(const DbfTable& grupo, std::string_view abrevGestion,
                                int filaSoluc) {
  if (!fallo_.empty()) return;
  try {
    Par& p = par(grupo.text("TURNO"), grupo.text("NIVEL"), grupo.text("CURSO"),
                 grupo.text("GRUPO"), cortado(abrevGestion, kAnchoCasig));
    if (p.colocadas++ == 0) p.primeraFilaSoluc = filaSoluc;
  } catch (const ErrorTabla& e) {
    fallo_ = e.what();
  }
}

void ComprobacionAsigt::comprobar(DbfTable& asigt, Informe& informe) {
  if (fallo_.empty()) {
    try {
      for (asigt.first(); !asigt.eof(); asigt.next()) {
        Par& p = par(asigt.text("TURNO"), asigt.text("NIVEL"), asigt.text("CURSO"),
                     asigt.text("GRUPO"), asigt.text("CASIG"));
        p.pedidas += static_cast<long>(std::ceil(asigt.real("HORAS")));
        if (!p.enAsigt) p.primeraFilaAsigt = static_cast<int>(asigt.recordNumber());
        p.enAsigt = true;
      }
    } catch (const ErrorTabla& e) {
      fallo_ = e.what();
    }
  }
  if (!fallo_.empty()) {
    informe.avisar("asigt_sin_comprobar",
                   "No se han podido comparar las clases colocadas con ASIGT: " + fallo_);
    return;
  }
  for (const Par& p : pares_) {
    if (!p.enAsigt) {
      informe.avisar("clases_sin_asigt",
                     "Clases sin fila en ASIGT (" + p.descripcion + "): " +
                         colocadas(p.colocadas) + ", la primera en la fila " +
                         std::to_string(p.primeraFilaSoluc) + " de SOLUC",
                     p.primeraFilaSoluc);
    } else if (p.colocadas == 0) {
      // A subject that asks for nothing is consistent with nothing placed.
      if (p.pedidas > 0)
        informe.avisar("asigt_sin_clases",
                       "ASIGT pide " + sesiones(p.pedidas) + " (" + p.descripcion +
                           ", fila " + std::to_string(p.primeraFilaAsigt) +
                           " de ASIGT) y no hay ninguna colocada");
    } else if (p.colocadas != p.pedidas) {
      informe.avisar("asigt_distinta",
                     "Sesiones colocadas distintas de las de ASIGT (" + p.descripcion + "): " +
                         colocadas(p.colocadas) + " y ASIGT pide " + std::to_string(p.pedidas),
                     p.primeraFilaSoluc);
    }
  }
}

}  // namespace tov
