// Small pieces the builders share: how the report names an element, and text fields that
// note in the report when a value does not fit.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "centre_to_timetable/contexto.h"
#include "formats/tabla_dbase.h"

namespace tov {

// "Profesor PEREZ (línea 12)", or "Aula sin código (línea 30)": UTF-8, the code as the
// document writes it (no character lost).
std::string nombrarElemento(const XmlNode& nodo);

// «texto» in UTF-8 for a Windows-1252 text.
std::string entreComillas(std::string_view texto);

// Sets a text field of the current row; when the value is longer than the field of
// `diseno`, the table keeps its start and the report says so.
void escribirTexto(Contexto& ctx, DbfTable& tabla, std::string_view nombreTabla,
                   const std::vector<FieldDef>& diseno, const XmlNode& nodo,
                   std::string_view campo, std::string_view valor);

}  // namespace tov
