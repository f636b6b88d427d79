#include "centre_to_timetable/lectura_elemento.h"

#include <algorithm>

#include "app/errores.h"
#include "formats/windows1252.h"

namespace tov {

std::string nombrarElemento(const XmlNode& nodo) {
  std::string texto = nodo.name();
  std::u16string codigo = nodo.attributeWide("Codigo");
  texto += codigo.empty() ? " sin código" : " " + utf16ToUtf8(codigo);
  texto += " (línea " + std::to_string(nodo.line()) + ")";
  return texto;
}

std::string entreComillas(std::string_view texto) {
  return "«" + windows1252ToUtf8(texto) + "»";
}

void escribirTexto(Contexto& ctx, DbfTable& tabla, std::string_view nombreTabla,
                   const std::vector<FieldDef>& diseno, const XmlNode& nodo,
                   std::string_view campo, std::string_view valor) {
  auto def = std::find_if(diseno.begin(), diseno.end(),
                          [&](const FieldDef& f) { return f.name == campo; });
  if (def == diseno.end())
    throw ErrorTabla("La tabla " + std::string(nombreTabla) + " no tiene el campo " +
                     std::string(campo));
  const auto ancho = static_cast<std::size_t>(def->width);
  if (valor.size() > ancho)
    ctx.informe.avisar("texto_cortado",
                       nombrarElemento(nodo) + ": " + std::string(campo) + " de " +
                           std::string(nombreTabla) + " guarda solo " + std::to_string(ancho) +
                           " caracteres: " + entreComillas(valor) + " queda " +
                           entreComillas(valor.substr(0, ancho)),
                       nodo.line());
  tabla.setText(campo, valor);
}

}  // namespace tov
