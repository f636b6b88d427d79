// The group subject load: which rows ASIGT gets (every group receives the subjects of every
// Grupo bearing its code), what they hold, the Horas errors and the report.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "app/errores.h"
#include "apoyo/entorno_generador.h"
#include "centre_to_timetable/generadores.h"
#include "formats/tabla_dbase.h"
#include "formats/tabla_disenos.h"

namespace fs = std::filesystem;
using namespace tov;
using namespace tov::prueba;

namespace {

// A Grupo element with its subjects, each as {Codigo, Horas}.
std::string grupo(const std::string& codigo, const std::string& turno,
                  const std::vector<std::pair<std::string, std::string>>& materias,
                  const std::string& ensenanza = "ESO", const std::string& curso = "1",
                  const std::string& letra = "A") {
  std::string xml = "<Grupo Codigo=\"" + codigo + "\" Turno=\"" + turno + "\" CodigoEnsenanza=\"" +
                    ensenanza + "\" Curso=\"" + curso + "\" Letra=\"" + letra + "\">\n";
  if (!materias.empty()) {
    xml += "<MateriasGrupo>\n";
    for (const auto& [c, h] : materias)
      xml += "<MateriaGrupo Codigo=\"" + c + "\" Horas=\"" + h + "\"/>\n";
    xml += "</MateriasGrupo>\n";
  }
  return xml + "</Grupo>\n";
}

struct Fila {
  std::string casig, cgrup, turno, nivel, curso, grupo;
  double horas;
  std::string sesiones, gestion;
  bool operator==(const Fila&) const = default;
};
void PrintTo(const Fila& f, std::ostream* os) {
  *os << "{" << f.casig << " " << f.cgrup << " " << f.turno << " " << f.nivel << " " << f.curso
      << " " << f.grupo << " " << f.horas << " '" << f.sesiones << "' " << f.gestion << "}";
}

// The subject and group tables of the earlier builders, which this one holds open.
struct Mundo {
  EntornoGenerador e;
  explicit Mundo(const std::string& grupos, std::array<int, 3> duraciones = {55, 0, 0})
      : e("<Grupos>\n" + grupos + "</Grupos>") {
    DbfTable::create(e.carpeta.ruta(), "ASIGNOMT", disenos::ASIGNOMT);
    DbfTable::create(e.carpeta.ruta(), "GRUPOST", disenos::GRUPOST);
    e.ctx.Duracion1 = duraciones[0];
    e.ctx.Duracion2 = duraciones[1];
    e.ctx.Duracion3 = duraciones[2];
  }
  std::vector<Fila> filas() {
    DbfTable t = DbfTable::open(e.carpeta.ruta(), "ASIGT", Access::Shared);
    std::vector<Fila> v;
    for (t.first(); !t.eof(); t.next()) {
      v.push_back({t.text("CASIG"), t.text("CGRUP"), t.text("TURNO"), t.text("NIVEL"),
                   t.text("CURSO"), t.text("GRUPO"), t.real("HORAS"), t.text("SESIONES"),
                   t.text("ASIG_GESTION")});
      EXPECT_EQ(t.text("CPROF"), "");
      EXPECT_EQ(t.text("CAULA"), "");
      EXPECT_EQ(t.text("CTAREA"), "CCM");
    }
    return v;
  }
};

Fila fila(std::string casig, std::string cgrup, std::string turno, double horas,
          std::string sesiones, std::string gestion = "") {
  if (gestion.empty()) gestion = cgrup;
  return {casig, cgrup, turno, "ESO", "1", "A", horas, sesiones, gestion};
}

struct Caso {
  const char* nombre;
  std::string grupos;
  std::array<int, 3> duraciones;
  std::vector<Fila> filas;
};
void PrintTo(const Caso& c, std::ostream* os) { *os << c.nombre; }

class Carga : public testing::TestWithParam<Caso> {};

TEST_P(Carga, WritesExactlyTheseRows) {
  Mundo m(GetParam().grupos, GetParam().duraciones);
  GenerarMateriasGrupo(m.e.ctx);
  EXPECT_EQ(m.filas(), GetParam().filas);
  EXPECT_EQ(m.e.informe.tablas(),
            (std::vector<std::pair<std::string, long>>{{"ASIGT", long(GetParam().filas.size())}}));
  // Nothing is left open for the host.
  EXPECT_NO_THROW(DbfTable::open(m.e.carpeta.ruta(), "GRUPOST", Access::Exclusive));
  EXPECT_NO_THROW(DbfTable::open(m.e.carpeta.ruta(), "ASIGNOMT", Access::Exclusive));
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Carga,
    testing::Values(
        Caso{"OneGroupIsRead",
             grupo("1A", "M", {{"MAT", "03,00"}, {"LEN", "02,50"}}),
             {50, 0, 0},
             {fila("MAT", "1A", "M", 3, "111"), fila("LEN", "1A", "M", 3, "111")}},
        Caso{"NoGroupsGiveAnEmptyTable", "", {55, 0, 0}, {}},
        Caso{"ASingleSubjectGoesToItsOwnGroupOnly",
             grupo("1A", "M", {}) + grupo("1B", "T", {{"MAT", "02,00"}}),
             {55, 0, 0},
             {fila("MAT", "1B", "T", 2, "11")}},
        Caso{"BlankCodeGivesNoRow",
             grupo("1A", "M", {{"", "02,00"}, {" \t", "01,00"}, {"FIS", "01,00"}}) +
                 grupo("1B", "M", {}),
             {55, 0, 0},
             {fila("FIS", "1A", "M", 1, "1")}},
        Caso{"GroupsSharingACodeReceiveEachOthersSubjects",
             grupo("1A", "M", {{"MAT", "03,00"}}) + grupo("2B", "T", {{"FIS", "01,00"}}) +
                 grupo(" 1A\n", "T", {{"LEN", "02,00"}}),
             {55, 0, 0},
             {fila("MAT", "1A", "M", 3, "111"), fila("LEN", "1A", "M", 2, "11"),
              fila("FIS", "2B", "T", 1, "1"), fila("MAT", "1A", "T", 3, "111"),
              fila("LEN", "1A", "T", 2, "11")}},
        Caso{"GroupCodesDifferingInCaseAreDifferentGroups",
             grupo("1a", "M", {{"MAT", "03,00"}}) + grupo("1A", "T", {{"LEN", "02,00"}}),
             {55, 0, 0},
             {fila("MAT", "1a", "M", 3, "111"), fila("LEN", "1A", "T", 2, "11")}},
        Caso{"ACodeOutsideTheCodePageMatchesNothing",
             grupo("1\xCE\xA9", "M", {{"MAT", "03,00"}}) + grupo("1B", "T", {{"LEN", "02,00"}}),
             {55, 0, 0},
             {fila("LEN", "1B", "T", 2, "11")}},
        Caso{"WholeHoursAndDecimalsOfTheSameLoad",
             grupo("1A", "M", {{"MAT", "03,00"}, {"LEN", "3,00"}, {"ING", "3.00"}}) +
                 grupo("1B", "M", {}),
             {45, 0, 0},
             {fila("MAT", "1A", "M", 3, "111"), fila("LEN", "1A", "M", 4, "1111"),
              fila("ING", "1A", "M", 4, "1111")}},
        Caso{"NoSessionLengthsRoundTheHoursUp",
             grupo("1A", "M", {{"MAT", "02,50"}, {"LEN", "0,25"}, {"ING", "00,00"}}) +
                 grupo("1B", "M", {}),
             {0, 0, 0},
             {fila("MAT", "1A", "M", 3, "111"), fila("LEN", "1A", "M", 1, "1"),
              fila("ING", "1A", "M", 1, "1")}},
        Caso{"LongLoadsCarryTheExcessFirst",
             grupo("1A", "M", {{"MAT", "20,00"}, {"LEN", "12,50"}}) + grupo("1B", "M", {}),
             {30, 0, 0},
             {fila("MAT", "1A", "M", 20, "71111111111111"),
              fila("LEN", "1A", "M", 25, "121111111111111")}},
        Caso{"LongCodesAreCut",
             grupo("1ESO-A-LARGO", "MT", {{"MATEMATICAS", "01,00"}}, "ESOBACH", "1234", "ABC") +
                 grupo("1B", "M", {}),
             {55, 0, 0},
             {Fila{"MATE", "1ESO", "M", "ESOBA", "123", "AB", 1, "1", "1ESO-A-LAR"}}}),
    [](const testing::TestParamInfo<Caso>& i) { return std::string(i.param.nombre); });

struct HorasMalas {
  const char* nombre;
  std::string grupos;
  std::string mensaje;
};
void PrintTo(const HorasMalas& h, std::ostream* os) { *os << h.nombre; }

class CargaHorasMalas : public testing::TestWithParam<HorasMalas> {};

TEST_P(CargaHorasMalas, StopTheRunNamingSubjectGroupAndLine) {
  Mundo m(GetParam().grupos);
  try {
    GenerarMateriasGrupo(m.e.ctx);
    FAIL() << "no error";
  } catch (const ErrorDatos& err) {
    EXPECT_EQ(std::string(err.what()), GetParam().mensaje);
  }
}

// Line 3 holds <Grupos>; a grupo() takes a line for <Grupo>, one for <MateriasGrupo>, one per
// subject and two closing lines.
INSTANTIATE_TEST_SUITE_P(
    Casos, CargaHorasMalas,
    testing::Values(
        HorasMalas{"NotANumber", grupo("1A", "M", {{"MAT", "02,00"}, {"LEN", "dos"}}),
                   "Horas no válidas en la materia LEN del grupo 1A (línea 7): 'dos'"},
        HorasMalas{"TwoSeparators", grupo("1A", "M", {{"MAT", "2,5,0"}}),
                   "Horas no válidas en la materia MAT del grupo 1A (línea 6): '2,5,0'"},
        HorasMalas{"Empty", grupo("1A", "M", {{"MAT", "  "}}),
                   "Horas no válidas en la materia MAT del grupo 1A (línea 6): ''"},
        HorasMalas{"Absent",
                   "<Grupo Codigo=\"1A\"><MateriasGrupo>\n<MateriaGrupo Codigo=\"MAT\"/>"
                   "</MateriasGrupo></Grupo>\n",
                   "Horas no válidas en la materia MAT del grupo 1A (línea 5): ''"},
        // Worked out even where no row would be written.
        HorasMalas{"OnASubjectWithoutCode",
                   grupo("1A", "M", {{"MAT", "01,00"}}) + grupo("1B", "M", {{"", "x"}}),
                   "Horas no válidas en la materia  del grupo 1B (línea 11): 'x'"},
        HorasMalas{"InAGroupNobodyMatches",
                   grupo("1A", "M", {{"MAT", "01,00"}}) +
                       grupo("\xCE\xA9", "M", {{"FIS\xE2\x82\xAC", "1h"}}),
                   "Horas no válidas en la materia FIS\xE2\x82\xAC del grupo \xCE\xA9 (línea "
                   "11): '1h'"}),
    [](const testing::TestParamInfo<HorasMalas>& i) { return std::string(i.param.nombre); });

TEST(CargaInforme, NamesRoundedLoadsBlankCodesAndCutCodes) {
  Mundo m(grupo("1A", "M", {{"MAT", "02,50"}, {"", "01,00"}}) +         // lines 4-9
              grupo("1ESOA", "T", {{"MATEMAT", "03,00"}, {"FIS", "01,00"}}),  // lines 10-15
          {55, 60, 45});
  GenerarMateriasGrupo(m.e.ctx);
  const auto& avisos = m.e.informe.avisos();
  ASSERT_EQ(avisos.size(), 4u);
  EXPECT_EQ(avisos[0].tipo, "materia_sin_codigo");
  EXPECT_EQ(avisos[0].linea, 7);
  EXPECT_EQ(avisos[1].tipo, "carga_redondeada");  // 150 minutes: not 55s, 60s or 45s
  EXPECT_EQ(avisos[1].linea, 6);
  EXPECT_NE(avisos[1].mensaje.find("ASIGT fila 1"), std::string::npos) << avisos[1].mensaje;
  EXPECT_NE(avisos[1].mensaje.find("55, 60, 45"), std::string::npos) << avisos[1].mensaje;
  EXPECT_NE(avisos[1].mensaje.find("(3)"), std::string::npos) << avisos[1].mensaje;
  EXPECT_EQ(avisos[2].tipo, "codigo_recortado");
  EXPECT_EQ(avisos[2].linea, 12);
  EXPECT_NE(avisos[2].mensaje.find("ASIGT fila 2"), std::string::npos) << avisos[2].mensaje;
  EXPECT_NE(avisos[2].mensaje.find("CASIG 'MATE'"), std::string::npos) << avisos[2].mensaje;
  EXPECT_NE(avisos[2].mensaje.find("CGRUP '1ESO'"), std::string::npos) << avisos[2].mensaje;
  EXPECT_EQ(avisos[3].tipo, "codigo_recortado");
  EXPECT_EQ(avisos[3].linea, 13);
  EXPECT_NE(avisos[3].mensaje.find("ASIGT fila 3"), std::string::npos) << avisos[3].mensaje;
  EXPECT_EQ(avisos[3].mensaje.find("CASIG"), std::string::npos) << avisos[3].mensaje;
}

TEST(CargaTablas, SubjectAndGroupTablesAreHeldForExclusiveUse) {
  Mundo m(grupo("1A", "M", {{"MAT", "01,00"}}));
  DbfTable otro = DbfTable::open(m.e.carpeta.ruta(), "GRUPOST", Access::Shared);
  EXPECT_THROW(GenerarMateriasGrupo(m.e.ctx), ErrorEnUso);
  otro.close();
  otro = DbfTable::open(m.e.carpeta.ruta(), "ASIGNOMT", Access::Shared);
  EXPECT_THROW(GenerarMateriasGrupo(m.e.ctx), ErrorEnUso);
}

TEST(CargaTablas, MissingGroupTableStopsTheStep) {
  Mundo m(grupo("1A", "M", {{"MAT", "01,00"}}));
  fs::remove(m.e.carpeta / "GRUPOST.DBF");
  EXPECT_THROW(GenerarMateriasGrupo(m.e.ctx), ErrorTabla);
}

}  // namespace
