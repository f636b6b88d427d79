#include "app/informe.h"

#include <algorithm>

namespace tov {

void Informe::avisar(std::string tipo, std::string mensaje, int linea) {
  avisos_.push_back({std::move(tipo), std::move(mensaje), linea});
}

void Informe::filas(const std::string& tabla, long numero) {
  auto it = std::find_if(tablas_.begin(), tablas_.end(),
                         [&](const auto& t) { return t.first == tabla; });
  if (it != tablas_.end())
    it->second = numero;
  else
    tablas_.emplace_back(tabla, numero);
}

std::string Informe::texto() const {
  std::string out;
  for (const auto& [tabla, numero] : tablas_)
    out += tabla + ": " + std::to_string(numero) + (numero == 1 ? " fila\n" : " filas\n");
  if (!avisos_.empty()) {
    out += "Avisos:\n";
    for (const auto& a : avisos_) out += "- " + a.mensaje + "\n";
  }
  return out;
}

}  // namespace tov
