// Denominacion by Codigo over a list such as the departments or the courses of study,
// built once per builder: the first element in document order wins, as a walk from the
// first element stops at it.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "centre_to_timetable/contexto.h"

namespace tov {

class IndiceDenominaciones {
 public:
  IndiceDenominaciones(const XmlDocument& doc, std::string_view ruta);

  // The trimmed Denominacion (Windows-1252) of the first element whose trimmed Codigo
  // equals `codigo` as whole wide texts, letter case significant; nullptr when none does.
  // `codigo` is an 8-bit value read from the document: it is widened again, so a code
  // with a character that Windows-1252 lacks never matches.
  const std::string* buscar(Contexto& ctx, std::string_view codigo);

 private:
  struct Entrada {
    XmlNode nodo;
    std::optional<std::string> denominacion;  // read on first use, so lost characters are
                                              // reported once and only when used
  };
  std::unordered_map<std::u16string, Entrada> porCodigo_;
};

}  // namespace tov
