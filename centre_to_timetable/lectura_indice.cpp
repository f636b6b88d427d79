#include "centre_to_timetable/lectura_indice.h"

#include "formats/windows1252.h"

namespace tov {

IndiceDenominaciones::IndiceDenominaciones(const XmlDocument& doc, std::string_view ruta) {
  for (const XmlNode& nodo : doc.selectNodes(ruta))
    porCodigo_.try_emplace(nodo.attributeWide("Codigo"), Entrada{nodo, std::nullopt});
}

const std::string* IndiceDenominaciones::buscar(Contexto& ctx, std::string_view codigo) {
  auto it = porCodigo_.find(fromWindows1252(codigo));
  if (it == porCodigo_.end()) return nullptr;
  Entrada& e = it->second;
  if (!e.denominacion) e.denominacion = ctx.leer(e.nodo, "Denominacion");
  return &*e.denominacion;
}

}  // namespace tov
