#include "centre_to_timetable/contexto.h"

#include "formats/windows1252.h"

namespace tov {

std::string Contexto::leer(const XmlNode& nodo, std::string_view atributo) {
  std::u16string perdidos;
  std::string valor = nodo.attribute(atributo, &perdidos);
  if (!perdidos.empty()) {
    std::string quien = nodo.name();
    if (std::u16string codigo = nodo.attributeWide("Codigo"); !codigo.empty())
      quien += " " + utf16ToUtf8(codigo);
    std::string mensaje = quien + " (línea " + std::to_string(nodo.line()) + "): ";
    mensaje += perdidos.size() == 1 ? "el carácter " + utf16ToUtf8(perdidos) +
                                          " no existe en Windows-1252 y se escribe ?"
                                    : "los caracteres " + utf16ToUtf8(perdidos) +
                                          " no existen en Windows-1252 y se escriben ?";
    mensaje += " (" + std::string(atributo) + ")";
    informe.avisar("caracter_sustituido", std::move(mensaje), nodo.line());
  }
  return valor;
}

}  // namespace tov
