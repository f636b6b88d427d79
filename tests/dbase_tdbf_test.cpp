// Interoperability: Free Pascal's TDbf, an independent dBase engine that follows the
// Borland one, reads every table we write with the same fields and values.
#include <gtest/gtest.h>

#include "apoyo/salida_de_orden.h"

#include <cstdio>
#include <sys/wait.h>

#include "apoyo/carpeta_temporal.h"
#include "dbase_muestras.h"
#include "formats/tabla_dbase.h"

namespace tov {
namespace {

using prueba::CarpetaTemporal;


// The listing the TDbf reader prints, built from what our engine reads back.
std::string listadoEsperado(const prueba::Muestra& m, const std::filesystem::path& carpeta) {
  std::string s = "nivel 7\n";
  for (const FieldDef& f : *m.campos) {
    switch (f.type) {
      case FieldType::Text: s += "campo " + f.name + " C " + std::to_string(f.width) + " 0\n"; break;
      case FieldType::Logical: s += "campo " + f.name + " L 1 0\n"; break;
      case FieldType::Integer: s += "campo " + f.name + " N 11 0\n"; break;
      case FieldType::Float: s += "campo " + f.name + " N 20 4\n"; break;
    }
  }
  DbfTable t = DbfTable::open(carpeta, m.tabla, Access::Shared);
  for (t.first(); !t.eof(); t.next()) {
    s += "fila\n";
    for (const FieldDef& f : *m.campos) s += f.name + "=" + t.text(f.name) + "\n";
  }
  return s;
}

TEST(DbaseTdbf, TdbfLeeLasSieteTablasComoLasEscribimos) {
#ifndef TOV_LECTOR_TDBF
  GTEST_SKIP() << "fpc no está instalado: no hay lector TDbf";
#else
  CarpetaTemporal dir;
  for (const auto& m : prueba::muestras()) {
    SCOPED_TRACE(m.tabla);
    prueba::crearMuestra(dir.ruta(), m);
    int salida = -1;
    const std::string listado =
        tov::prueba::salidaDeOrden(std::string(TOV_LECTOR_TDBF) + " '" + dir.ruta().string() + "' " + m.tabla + ".DBF", salida);
    EXPECT_EQ(salida, 0);
    const std::string esperado = listadoEsperado(m, dir.ruta());
    EXPECT_EQ(listado, esperado);
    // The values themselves, so that an engine that read its own bytes wrongly could not
    // agree with a TDbf that read them wrongly the same way.
    for (const auto& fila : m.filas) {
      for (const auto& v : fila) {
        auto s = std::get_if<std::string>(&v);
        if (s && !s->empty() && s->size() <= 8) {
          EXPECT_NE(listado.find("=" + *s + "\n"), std::string::npos) << *s;
        }
      }
    }
  }
#endif
}

}  // namespace
}  // namespace tov
