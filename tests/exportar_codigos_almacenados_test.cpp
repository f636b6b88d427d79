// The codes already stored in one table's ABREV: a row whose code is stored already gets
// the first free code from its own code's prefix.
#include "centre_to_timetable/codigos_almacenados.h"

#include <gtest/gtest.h>

#include "app/errores.h"

using namespace tov;

namespace {

struct Guardado {
  const char* abrev;   // what the builder's rule gives, at most four characters
  const char* propio;  // the element's own code
  const char* esperado;
};

struct Caso {
  const char* nombre;
  std::vector<Guardado> filas;
  friend void PrintTo(const Caso& c, std::ostream* os) { *os << c.nombre; }
};

class Almacenados : public testing::TestWithParam<Caso> {};

TEST_P(Almacenados, GivesEachRowACodeOfItsOwn) {
  CodigosAlmacenados a;
  for (const Guardado& f : GetParam().filas) {
    SCOPED_TRACE(f.propio);
    EXPECT_EQ(a.guardar(f.abrev, f.propio, "Profesor X (línea 1)"), f.esperado);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Almacenados,
    testing::Values(
        Caso{"LibreSeQueda", {{"ANA", "ANA", "ANA"}, {"ANA1", "ANA", "ANA1"}}},
        Caso{"PerezPeres", {{"PERE", "PEREZ", "PERE"}, {"PERE", "PERES", "PER1"}}},
        Caso{"SinDistinguirMayusculas", {{"PERE", "PEREZ", "PERE"}, {"pere", "peres", "per1"}}},
        Caso{"GruposAcortados", {{"1EOA", "1ESOA", "1EOA"}, {"1EOA", "1EXOA", "1EX1"}}},
        // The free code of the search may itself be taken by a later row's own code.
        Caso{"CadenaDeSustitutos",
             {{"PERE", "PEREZ", "PERE"}, {"PERE", "PERES", "PER1"}, {"PER1", "PER1", "PER2"}}},
        Caso{"CodigoCortoDeUnaLetra", {{"A", "A", "A"}, {"A", "A", "A1"}}},
        Caso{"EnBlanco", {{"", "", ""}, {"", "", "1"}}}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(Almacenados, ShorterPrefixWhenTheSearchGivesFiveCharacters) {
  CodigosAlmacenados a;
  a.guardar("ABC", "ABC", "");
  for (int i = 1; i <= 9; ++i) {
    std::string c = "ABC" + std::to_string(i);
    a.guardar(c, c, "");
  }
  // A teacher ABC10 is stored as ABC1, which is taken: ABC10 is too long, so AB1.
  EXPECT_EQ(a.guardar("ABC1", "ABC", ""), "AB1");
  EXPECT_EQ(a.guardar("ABC1", "ABC", ""), "AB2");

  CodigosAlmacenados b;
  b.guardar("AB", "AB", "");
  for (int i = 1; i <= 99; ++i) b.guardar("AB" + std::to_string(i), "", "");
  // AB100 does not fit, and the first two characters of AB are AB again: then A.
  EXPECT_EQ(b.guardar("AB", "AB", ""), "A1");
}

TEST(Almacenados, StopsNamingTheElementWhenEveryPrefixIsUsedUp) {
  CodigosAlmacenados a;
  a.guardar("A", "A", "");
  for (int i = 1; i <= 999; ++i) a.guardar("A" + std::to_string(i), "", "");
  try {
    a.guardar("A", "A", "Aula A (línea 1234)");
    FAIL() << "sin error";
  } catch (const ErrorDatos& e) {
    EXPECT_NE(std::string(e.what()).find("Aula A (línea 1234)"), std::string::npos) << e.what();
  }
  // What fits is still given out.
  EXPECT_EQ(a.guardar("B", "B", ""), "B");
}

}  // namespace
