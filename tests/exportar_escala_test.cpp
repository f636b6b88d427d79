// A large school: thousands of groups, some sharing a code, with subjects from a common pool.
// The group subject load must hold the rows that the plain walk (every MateriaGrupo of the
// document for every group) gives, in its order, however the builder finds them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "apoyo/entorno_generador.h"
#include "centre_to_timetable/generadores.h"
#include "formats/tabla_dbase.h"
#include "formats/tabla_disenos.h"

using namespace tov;
using namespace tov::prueba;

namespace {

constexpr int kGrupos = 3000;
// Groups from this one on repeat the codes of the first ones.
constexpr int kCodigosDistintos = 2500;
constexpr int kMateriasPorGrupo = 4;
constexpr int kMateriasComunes = 30;

struct GrupoEscala {
  std::string codigo, turno;
  std::vector<std::pair<std::string, int>> materias;  // code, whole hours
};

std::vector<GrupoEscala> centroGrande() {
  std::vector<GrupoEscala> grupos;
  for (int i = 0; i < kGrupos; ++i) {
    GrupoEscala g{"G" + std::to_string(i % kCodigosDistintos), i % 2 ? "T" : "M", {}};
    for (int k = 0; k < kMateriasPorGrupo; ++k)
      g.materias.emplace_back("M" + std::to_string((i * 7 + k * 3) % kMateriasComunes), 1 + k);
    grupos.push_back(std::move(g));
  }
  return grupos;
}

std::string documento(const std::vector<GrupoEscala>& grupos) {
  std::string xml = "<Grupos>\n";
  for (const GrupoEscala& g : grupos) {
    xml += "<Grupo Codigo=\"" + g.codigo + "\" Turno=\"" + g.turno +
           "\" CodigoEnsenanza=\"ESO\" Curso=\"1\" Letra=\"A\"><MateriasGrupo>";
    for (const auto& [codigo, horas] : g.materias)
      xml += "<MateriaGrupo Codigo=\"" + codigo + "\" Horas=\"0" + std::to_string(horas) + ",00\"/>";
    xml += "</MateriasGrupo></Grupo>\n";
  }
  return xml + "</Grupos>";
}

struct Fila {
  std::string casig, cgrup, turno;
  double horas;
  bool operator==(const Fila&) const = default;
};
void PrintTo(const Fila& f, std::ostream* os) {
  *os << "{" << f.casig << " " << f.cgrup << " " << f.turno << " " << f.horas << "}";
}

TEST(EscalaMateriasGrupo, ThousandsOfGroupsGiveThePlainWalksRows) {
  const std::vector<GrupoEscala> grupos = centroGrande();
  EntornoGenerador e(documento(grupos));
  DbfTable::create(e.carpeta.ruta(), "ASIGNOMT", disenos::ASIGNOMT);
  DbfTable::create(e.carpeta.ruta(), "GRUPOST", disenos::GRUPOST);
  e.ctx.Duracion1 = 60;
  GenerarMateriasGrupo(e.ctx);

  std::vector<Fila> escritas;
  DbfTable t = DbfTable::open(e.carpeta.ruta(), "ASIGT", Access::Shared);
  for (t.first(); !t.eof(); t.next())
    escritas.push_back({t.text("CASIG"), t.text("CGRUP"), t.text("TURNO"), t.real("HORAS")});

  // The plain walk on a slice: the first groups, whose codes the last ones repeat, and the
  // count of every group's rows to find where the slice ends.
  constexpr int kTramo = 40;
  std::vector<Fila> esperadas;
  for (int i = 0; i < kTramo; ++i)
    for (const GrupoEscala& otro : grupos)
      if (otro.codigo == grupos[i].codigo)
        for (const auto& [codigo, horas] : otro.materias)
          esperadas.push_back({codigo, grupos[i].codigo, grupos[i].turno, double(horas)});
  ASSERT_GE(escritas.size(), esperadas.size());
  EXPECT_EQ(std::vector<Fila>(escritas.begin(), escritas.begin() + long(esperadas.size())),
            esperadas);
  // And the slice at the end, groups that repeat a code.
  std::vector<Fila> finales;
  for (int i = kGrupos - kTramo; i < kGrupos; ++i)
    for (const GrupoEscala& otro : grupos)
      if (otro.codigo == grupos[i].codigo)
        for (const auto& [codigo, horas] : otro.materias)
          finales.push_back({codigo, grupos[i].codigo, grupos[i].turno, double(horas)});
  ASSERT_GE(escritas.size(), finales.size());
  EXPECT_EQ(std::vector<Fila>(escritas.end() - long(finales.size()), escritas.end()), finales);
  // Every group has its own subjects, and the ones of each other group of its code.
  const std::size_t repetidos = kGrupos - kCodigosDistintos;
  EXPECT_EQ(escritas.size(), (kGrupos + 2 * repetidos) * kMateriasPorGrupo);
}

}  // namespace
