// Rows for every work-table layout, written through the engine: the golden-bytes test and
// the TDbf interoperability test both use them. Texts are Windows-1252 bytes.
#pragma once
#include <string>
#include <variant>
#include <vector>

#include "formats/tabla_dbase.h"
#include "formats/tabla_disenos.h"

namespace tov::prueba {

struct Ninguno {};  // the field is left as append made it: never written
using ValorMuestra = std::variant<Ninguno, std::string, bool, long long, double>;

struct Muestra {
  const char* tabla;
  const std::vector<FieldDef>* campos;
  std::vector<IndexDef> indices;
  std::vector<std::vector<ValorMuestra>> filas;  // one value per field, in layout order
};

inline std::vector<Muestra> muestras() {
  using S = std::string;
  const Ninguno _;
  return {
      {"ASIGNOMT", &disenos::ASIGNOMT, {},
       {{S("MAT"), S("Matem\xE1ti"), S("Matem\xE1ticas"), _, false, S("M01")},
        {S("GU"), S("Guardia"), S("Guardia de pasillo"), _, true, S("G-7")}}},
      {"PROFT", &disenos::PROFT, {},
       {{S("AB"), S("Jos\xE9 Mar\xED" "a Ib\xE1\xF1\xE9z"), S("Lengua Castellana")},
        {S("\xD1U"), S("Mar\xED" "a de las Nieves Fern\xE1ndez-Casta\xF1\xF3n Ruiz del \xC1rbol"),
         S("")}}},
      {"AULAT", &disenos::AULAT, {},
       {{S("A1"), S("Aula de M\xFAsica"), _, _, S("AULA-01")}}},
      {"GRUPOST", &disenos::GRUPOST, {},
       {{S("1ESA"), S("M"), S("ESO"), S("1"), S("A"), S("1\xBA ESO A"), S("AB")}}},
      {"ASIGT", &disenos::ASIGT, {},
       {{S("MAT"), S("AB"), S("1ESA"), S("A1"), S("M"), S("ESO"), S("1"), S("A"), 2.5, S("3"),
         S(""), S("M01")},
        {S("GU"), S("\xD1U"), S(""), S(""), S("T"), S(""), S(""), S(""), 1234.5678, S(""), S("GU"),
         S("G-7")}}},
      {"DIASHORAST", &disenos::DIASHORAST, {},
       {{S("25"), _, S("2"), S("Martes"), S("5"), S("11:30 - 12:25"), S("11:30"), S("12:25"),
         S("55"), _, S("")}}},
      {"COUNTSES", &disenos::COUNTSES, disenos::COUNTSES_INDICES,
       {{S("55"), 3LL}, {S("60"), 12LL}, {S("50"), 3LL}, {S("45"), -1LL}}},
  };
}

// Appends the sample's rows to an open table.
inline void escribirFilas(DbfTable& t, const Muestra& m) {
  for (const auto& fila : m.filas) {
    t.append();
    for (std::size_t i = 0; i < fila.size(); ++i) {
      const std::string& campo = (*m.campos)[i].name;
      if (auto s = std::get_if<std::string>(&fila[i])) t.setText(campo, *s);
      else if (auto b = std::get_if<bool>(&fila[i])) t.setLogical(campo, *b);
      else if (auto n = std::get_if<long long>(&fila[i])) t.setInteger(campo, *n);
      else if (auto d = std::get_if<double>(&fila[i])) t.setFloat(campo, *d);
    }
    t.post();
  }
}

// Creates the sample's table in `carpeta` and writes its rows.
inline void crearMuestra(const std::filesystem::path& carpeta, const Muestra& m) {
  DbfTable::create(carpeta, m.tabla, *m.campos, m.indices);
  DbfTable t = DbfTable::open(carpeta, m.tabla, Access::Shared);
  escribirFilas(t, m);
  t.close();
}

}  // namespace tov::prueba
