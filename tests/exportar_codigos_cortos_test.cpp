// The short-code pieces: the end squeeze, the suffix search over both kinds of list, and
// the comparison of each list.
#include "centre_to_timetable/codigos_cortos.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace tov;

namespace {

TEST(AcortarCodigo, KeepsShortCodesAndSqueezesLongOnes) {
  struct Caso {
    const char* codigo;
    const char* esperado;
  };
  const Caso casos[] = {
      {"", ""},         {"A", "A"},          {"ABCD", "ABCD"},   {"LENGUA", "LEUA"},
      {"MATE1", "MAE1"}, {"ABC10", "AB10"},  {"1ESOA", "1EOA"},  {"3AB10", "3A10"},
      {"\xC1LGEBRA", "\xC1LRA"},  // one byte per character in Windows-1252
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.codigo);
    EXPECT_EQ(AcortarCodigo(c.codigo), c.esperado);
  }
}

struct CasoBusqueda {
  const char* nombre;
  std::vector<std::string> lista;
  const char* prefijo;
  const char* esperado;
  friend void PrintTo(const CasoBusqueda& c, std::ostream* os) { *os << c.nombre; }
};

CodigosUsados usadosCon(const std::vector<std::string>& codigos) {
  CodigosUsados u;
  for (const auto& c : codigos) u.anadir(c);
  return u;
}

ListaCatalogo catalogoCon(const std::vector<std::string>& codigos) {
  ListaCatalogo l;
  for (const auto& c : codigos) l.anadir(c);
  return l;
}

std::vector<std::string> abcHasta9() {
  std::vector<std::string> v = {"ABC"};
  for (int i = 1; i <= 9; ++i) v.push_back("ABC" + std::to_string(i));
  return v;
}

class BuscarEnUsados : public testing::TestWithParam<CasoBusqueda> {};

TEST_P(BuscarEnUsados, GivesTheFirstFreeCandidate) {
  const auto& c = GetParam();
  EXPECT_EQ(BuscarCodigoLibre(c.prefijo, usadosCon(c.lista)), c.esperado);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, BuscarEnUsados,
    testing::Values(
        CasoBusqueda{"PrefijoCorto", {"AB"}, "AB", "AB1"},
        CasoBusqueda{"NuncaElPrefijoSolo", {}, "ANA", "ANA1"},
        CasoBusqueda{"SaltaLosTomados", {"ANA", "ANA1", "ANA2"}, "ANA", "ANA3"},
        CasoBusqueda{"HuecoEnMedio", {"ANA1", "ANA3"}, "ANA", "ANA2"},
        CasoBusqueda{"DiezTrasNueve", abcHasta9(), "ABC", "ABC10"},
        CasoBusqueda{"PrefijoVacio", {"", "1", "2"}, "", "3"},
        // Letter case is ignored; the candidate keeps the prefix as given.
        CasoBusqueda{"MayusculasTomadas", {"MAT", "MAT1"}, "mat", "mat2"},
        CasoBusqueda{"AcentoMayusculaTomado", {"\xC1" "RB1"}, "\xE1rb", "\xE1rb2"},
        // Accents are not ignored: ARB1 does not take ÁRB1.
        CasoBusqueda{"AcentoNoSeIgnora", {"ARB1"}, "\xC1RB", "\xC1RB1"}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(BuscarEnCatalogo, TellsLetterCaseApart) {
  EXPECT_EQ(BuscarCodigoLibre("mat", catalogoCon({"MAT1", "MAT2"})), "mat1");
  EXPECT_EQ(BuscarCodigoLibre("MAT", catalogoCon({"MAT1", "MAT2"})), "MAT3");
  EXPECT_EQ(BuscarCodigoLibre("ABC", catalogoCon(abcHasta9())), "ABC10");
}

// Windows-1252 pairs of a capital and its small letter, and pairs that must stay apart.
TEST(CodigosUsados, IgnoresLetterCaseUnderWindows1252) {
  struct Par {
    const char* a;
    const char* b;
    bool iguales;
  };
  const Par pares[] = {
      {"MAT", "mat", true},
      {"\xC0", "\xE0", true},   // À à
      {"\xD1", "\xF1", true},   // Ñ ñ
      {"\xDE", "\xFE", true},   // Þ þ, last of the block
      {"\x8A", "\x9A", true},   // Š š
      {"\x8E", "\x9E", true},   // Ž ž
      {"\x8C", "\x9C", true},   // Œ œ
      {"\x9F", "\xFF", true},   // Ÿ ÿ
      {"A", "\xC0", false},     // accents are not ignored
      {"a", "\xE0", false},
      {"\xD7", "\xF7", false},  // × and ÷ are no letters
      {"\xDF", "SS", false},    // ß has no capital here
      {"\xDF", "s", false},
      {"\xB5", "M", false},     // µ neither
      {"\xB5", "\xCC", false},
      {"\xC0" "B1", "\xE0" "b1", true},
      {"AB", "AB ", false},     // whole texts, nothing trimmed
  };
  for (const Par& p : pares) {
    SCOPED_TRACE(std::string(p.a) + " / " + p.b);
    EXPECT_EQ(usadosCon({p.a}).contiene(p.b), p.iguales);
    EXPECT_EQ(usadosCon({p.b}).contiene(p.a), p.iguales);
  }
}

TEST(ListaCatalogo, TellsLetterCaseAndAccentsApart) {
  ListaCatalogo l = catalogoCon({"MAT", "\xC0rea"});
  EXPECT_TRUE(l.contiene("MAT"));
  EXPECT_FALSE(l.contiene("mat"));
  EXPECT_FALSE(l.contiene("MA"));
  EXPECT_FALSE(l.contiene("\xE0rea"));
  l.vaciar();
  EXPECT_FALSE(l.contiene("MAT"));
  EXPECT_EQ(l.size(), 0u);
}

TEST(CodigosUsados, AddingNeverRefuses) {
  CodigosUsados u = usadosCon({"ANA", "ana", "ANA"});
  EXPECT_EQ(u.size(), 3u);
  EXPECT_TRUE(u.contiene("Ana"));
}

// The search remembers where it stopped for each prefix; whatever is added in between,
// it must give exactly what counting from 1 gives.
std::string contandoDesdeUno(const std::string& prefijo, const CodigosUsados& u) {
  for (int n = 1;; ++n)
    if (!u.contiene(prefijo + std::to_string(n))) return prefijo + std::to_string(n);
}
std::string contandoDesdeUno(const std::string& prefijo, const ListaCatalogo& l) {
  for (int n = 1;; ++n)
    if (!l.contiene(prefijo + std::to_string(n))) return prefijo + std::to_string(n);
}

TEST(BuscarCodigoLibre, RememberingWhereItStoppedGivesTheSameAsCountingFromOne) {
  std::mt19937 azar(12345);
  const std::vector<std::string> prefijos = {"", "A", "a", "AB", "ab", "\xC0", "\xE0", "1"};
  auto uno = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(azar); };
  for (int ronda = 0; ronda < 20; ++ronda) {
    CodigosUsados u;
    ListaCatalogo l;
    for (int paso = 0; paso < 400; ++paso) {
      const std::string& p = prefijos[uno(prefijos.size())];
      switch (uno(3)) {
        case 0: {  // search, then take what it gave
          std::string r = BuscarCodigoLibre(p, u);
          ASSERT_EQ(r, contandoDesdeUno(p, u)) << "paso " << paso;
          u.anadir(r);
          std::string s = BuscarCodigoLibre(p, l);
          ASSERT_EQ(s, contandoDesdeUno(p, l)) << "paso " << paso;
          l.anadir(s);
          break;
        }
        case 1: {  // search without taking: the same answer twice
          ASSERT_EQ(BuscarCodigoLibre(p, u), BuscarCodigoLibre(p, u));
          ASSERT_EQ(BuscarCodigoLibre(p, u), contandoDesdeUno(p, u));
          ASSERT_EQ(BuscarCodigoLibre(p, l), contandoDesdeUno(p, l));
          break;
        }
        default: {  // another builder step takes a numbered code behind the search's back
          std::string c = p + std::to_string(1 + uno(12));
          u.anadir(c);
          l.anadir(c);
          break;
        }
      }
      if (uno(150) == 0) l.vaciar();  // a new run empties the catalogue lists
    }
  }
}

}  // namespace
