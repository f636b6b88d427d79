// A work table's rows as UTF-8 texts, to compare with expected rows written in the test.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "formats/tabla_dbase.h"
#include "formats/windows1252.h"

namespace tov::prueba {

using Fila = std::vector<std::string>;

// Every row in row order, the named fields in the order given (logical fields read T or F,
// blank numbers as "").
inline std::vector<Fila> filasDe(const std::filesystem::path& carpeta, std::string_view tabla,
                                 const std::vector<std::string>& campos) {
  DbfTable t = DbfTable::open(carpeta, tabla, Access::Shared);
  std::vector<Fila> filas;
  for (t.first(); !t.eof(); t.next()) {
    Fila f;
    for (const auto& c : campos) f.push_back(windows1252ToUtf8(t.text(c)));
    filas.push_back(std::move(f));
  }
  return filas;
}

// Field `i` of every row.
inline std::vector<std::string> columna(const std::vector<Fila>& filas, std::size_t i) {
  std::vector<std::string> c;
  for (const auto& f : filas) c.push_back(f[i]);
  return c;
}

}  // namespace tov::prueba
