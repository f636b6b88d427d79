// The host's settings file (Orvantis.ini), written as the Windows private-profile
// writer does: one key set, every other byte of the file left as it was.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

#include "app/sistema_archivos.h"

namespace tov {

// The bytes of `contenido` with `clave`=`valor` set in `[seccion]`. Section and key match
// without regard to letter case (first occurrence wins); an existing value is replaced in
// place; a missing key goes after the last non-blank line of its section; a missing section
// goes at the end of the text. Added lines use the text's own line ending, CRLF when it has
// none.
std::string fijarValorIni(std::string_view contenido, std::string_view seccion,
                          std::string_view clave, std::string_view valor);

// Reads the file (absent: empty), sets the key and saves it aside and then over the old one.
// Throws ErrorArchivo "Unable to write to <ruta>" on any failure.
void escribirValorIni(const std::filesystem::path& ruta, std::string_view seccion,
                      std::string_view clave, std::string_view valor,
                      SistemaArchivos& archivos = SistemaArchivos::real());

}  // namespace tov
