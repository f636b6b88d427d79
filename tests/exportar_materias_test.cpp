// ASIGNOMT: subjects and activity types under the catalogue's short-code rules.
#include <gtest/gtest.h>

#include <algorithm>

#include "apoyo/entorno_generador.h"
#include "apoyo/escuela_ejemplo.h"
#include "apoyo/filas_tabla.h"
#include "centre_to_timetable/generadores.h"

using namespace tov;
using namespace tov::prueba;

namespace {

const std::vector<std::string> kCampos = {"COD", "CODLARGO", "NOMBRE", "ESTAREA",
                                          "ABREV_GESTION"};

std::vector<Fila> generarCatalogo(EntornoGenerador& e) {
  GenerarMaterias(e.ctx);
  GenerarTiposActividad(e.ctx);
  return filasDe(e.carpeta.ruta(), "ASIGNOMT", kCampos);
}

long avisosDe(const Informe& informe, std::string_view tipo) {
  return std::count_if(informe.avisos().begin(), informe.avisos().end(),
                       [&](const Aviso& a) { return a.tipo == tipo; });
}

struct Caso {
  const char* nombre;
  const char* cuerpo;
  std::vector<Fila> filas;  // COD, CODLARGO, NOMBRE, ESTAREA, ABREV_GESTION
  long noEscritas;          // elements the report names as not written
  friend void PrintTo(const Caso& c, std::ostream* os) { *os << c.nombre; }
};

class Catalogo : public testing::TestWithParam<Caso> {};

TEST_P(Catalogo, WritesTheRowsOfTheRules) {
  const Caso& c = GetParam();
  EntornoGenerador e(c.cuerpo);
  EXPECT_EQ(generarCatalogo(e), c.filas);
  EXPECT_EQ(avisosDe(e.informe, "materia_no_escrita") + avisosDe(e.informe, "actividad_no_escrita"),
            c.noEscritas)
      << e.informe.texto();
  ASSERT_FALSE(e.informe.tablas().empty());
  EXPECT_EQ(e.informe.tablas().back(),
            (std::pair<std::string, long>("ASIGNOMT", static_cast<long>(c.filas.size()))));
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Catalogo,
    testing::Values(
        Caso{"Mate1Mate2",
             R"(<Materias><Materia Codigo="MATE1" Denominacion="Matemáticas I"/>
                <Materia Codigo="MATE2" Denominacion="Matemáticas II"/></Materias>)",
             {{"MAE1", "Matemáti", "Matemáticas I", "F", "MATE1"},
              {"MAE2", "Matemáti", "Matemáticas II", "F", "MATE2"}},
             0},
        // MATE2 falls on its first four characters; its name is still recorded, so the
        // later ALG99 of the same name takes its first four characters, not its squeeze.
        Caso{"MateYMate2",
             R"(<Materias><Materia Codigo="MATE" Denominacion="Matemáticas"/>
                <Materia Codigo="MATE2" Denominacion="Álgebra"/>
                <Materia Codigo="ALG99" Denominacion="Álgebra"/></Materias>)",
             {{"MATE", "Matemáti", "Matemáticas", "F", "MATE"},
              {"ALG9", "Álgebra", "Álgebra", "F", "ALG99"}},
             1},
        Caso{"LenguaDosVeces",
             R"(<Materias><Materia Codigo="LENGUA" Denominacion="Lengua"/>
                <Materia Codigo="LENGUA" Denominacion="Lengua castellana"/></Materias>)",
             {{"LEUA", "Lengua", "Lengua", "F", "LENGUA"}}, 1},
        Caso{"FisicaYFisMismoNombre",
             R"(<Materias><Materia Codigo="FISICA" Denominacion="Física"/>
                <Materia Codigo="FIS" Denominacion="Física"/></Materias>)",
             {{"FICA", "Física", "Física", "F", "FISICA"}, {"FIS", "Física", "Física", "F", "FIS"}},
             0},
        Caso{"MismoElementoDosVeces",
             R"(<Materias><Materia Codigo="HIS" Denominacion="Historia"/>
                <Materia Codigo="HIS" Denominacion="Historia"/></Materias>)",
             {{"HIS", "Historia", "Historia", "F", "HIS"}}, 1},
        Caso{"GuardiaTrasGuar",
             R"(<Materias><Materia Codigo="GUAR" Denominacion="Guarnición"/>
                <Materia Codigo="LAT" Denominacion="Latín"/></Materias>
                <TiposActividad><TipoActividad Codigo="GUARDIA" Denominacion="Guardia"/>
                <TipoActividad Codigo="LATINX" Denominacion="Latín"/></TiposActividad>)",
             {{"GUAR", "Guarnici", "Guarnición", "F", "GUAR"},
              {"LAT", "Latín", "Latín", "F", "LAT"},
              // The name was met as a subject: first four characters, not LAX.
              {"LATI", "Latín", "Latín", "T", "LATINX"}},
             1},
        Caso{"MayusculasDistintas",
             R"(<Materias><Materia Codigo="MAT" Denominacion="Matemáticas"/>
                <Materia Codigo="mat" Denominacion="Matemáticas aplicadas"/></Materias>)",
             {{"MAT", "Matemáti", "Matemáticas", "F", "MAT"},
              {"mat", "Matemáti", "Matemáticas aplicadas", "F", "mat"}},
             0},
        Caso{"CodigosEnBlanco",
             R"(<Materias><Materia Codigo="  " Denominacion="Sin código"/>
                <Materia Denominacion="Otra sin código"/>
                <Materia Codigo="X" Denominacion="Equis"/></Materias>)",
             {{"", "Sin códi", "Sin código", "F", ""}, {"X", "Equis", "Equis", "F", "X"}}, 1},
        // Lists of one element are read.
        Caso{"UnaSolaMateriaYUnaSolaActividad",
             R"(<Materias><Materia Codigo="MAT" Denominacion="Matemáticas"/></Materias>
                <TiposActividad><TipoActividad Codigo="GUAR" Denominacion="Guardia"/></TiposActividad>)",
             {{"MAT", "Matemáti", "Matemáticas", "F", "MAT"},
              {"GUAR", "Guardia", "Guardia", "T", "GUAR"}},
             0},
        Caso{"SinActividades",
             R"(<Materias><Materia Codigo="MAT" Denominacion="Matemáticas"/>
                <Materia Codigo="ING" Denominacion="Inglés"/></Materias><TiposActividad/>)",
             {{"MAT", "Matemáti", "Matemáticas", "F", "MAT"},
              {"ING", "Inglés", "Inglés", "F", "ING"}},
             0},
        Caso{"SinNada", "", {}, 0},
        // Trimmed values; NOMBRE keeps 40 characters and ABREV_GESTION 10.
        Caso{"RecortesYCortes",
             "<Materias><Materia Codigo=\" \t MATEMATICAS1\n\" Denominacion=\"  Matemáticas "
             "Aplicadas a las Ciencias Sociales I \"/></Materias>",
             {{"MAS1", "Matemáti", "Matemáticas Aplicadas a las Ciencias Soc", "F",
               "MATEMATICA"}},
             0}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(Catalogo, ReportNamesWhyAnElementIsNotWritten) {
  EntornoGenerador e(R"(<Materias>
<Materia Codigo="MATE" Denominacion="Matemáticas"/>
<Materia Codigo="MATE2" Denominacion="Otra"/>
<Materia Codigo="MATEXX" Denominacion="Matemáticas"/>
<Materia Codigo="MAXE" Denominacion="Más"/>
<Materia Codigo="MAXXXE" Denominacion="Menos"/>
</Materias>)");
  GenerarMaterias(e.ctx);
  std::vector<std::string> noEscritas;
  std::vector<int> lineas;
  for (const Aviso& a : e.informe.avisos())
    if (a.tipo == "materia_no_escrita") {
      noEscritas.push_back(a.mensaje);
      lineas.push_back(a.linea);
    }
  ASSERT_EQ(noEscritas.size(), 3u) << e.informe.texto();
  EXPECT_EQ(lineas, (std::vector<int>{5, 6, 8}));
  // MATE2 and MATEXX: their first four characters; MAXXXE: its squeeze MAXE.
  EXPECT_NE(noEscritas[0].find("Materia MATE2 (línea 5)"), std::string::npos) << noEscritas[0];
  EXPECT_NE(noEscritas[0].find("cuatro primeros caracteres «MATE»"), std::string::npos);
  EXPECT_NE(noEscritas[1].find("cuatro primeros caracteres «MATE»"), std::string::npos)
      << noEscritas[1];
  EXPECT_NE(noEscritas[2].find("código corto «MAXE»"), std::string::npos) << noEscritas[2];
}

TEST(Catalogo, ReportsCutNamesAndChangedCodes) {
  EntornoGenerador e(R"(<Materias>
<Materia Codigo="LENGUA" Denominacion="Lengua"/>
<Materia Codigo="MACS1" Denominacion="Matemáticas Aplicadas a las Ciencias Sociales I"/>
</Materias>)");
  GenerarMaterias(e.ctx);
  std::vector<std::string> tipos;
  for (const Aviso& a : e.informe.avisos()) tipos.push_back(a.tipo + "@" + std::to_string(a.linea));
  EXPECT_EQ(tipos, (std::vector<std::string>{"codigo_cambiado@4", "texto_cortado@5",
                                             "codigo_cambiado@5"}));
  EXPECT_NE(e.informe.avisos()[0].mensaje.find("«LENGUA» se guarda en ASIGNOMT como «LEUA»"),
            std::string::npos)
      << e.informe.avisos()[0].mensaje;
}

TEST(Catalogo, CharacterOutsideWindows1252BecomesAQuestionMarkAndIsReported) {
  EntornoGenerador e(R"(<Materias><Materia Codigo="PI" Denominacion="Número π"/></Materias>)");
  EXPECT_EQ(generarCatalogo(e), (std::vector<Fila>{{"PI", "Número ?", "Número ?", "F", "PI"}}));
  EXPECT_EQ(avisosDe(e.informe, "caracter_sustituido"), 1) << e.informe.texto();
}

// A new run empties the lists first; the table comes out the same.
TEST(Catalogo, TwoRunsGiveTheSameTable) {
  EntornoGenerador e(R"(<Materias><Materia Codigo="LENGUA" Denominacion="Lengua"/>
      <Materia Codigo="LENGUA2" Denominacion="Lengua"/><Materia Codigo="MAT" Denominacion="M"/>
      </Materias><TiposActividad><TipoActividad Codigo="GUARDIA" Denominacion="Guardia"/>
      <TipoActividad Codigo="MATX" Denominacion="M"/></TiposActividad>)");
  const std::vector<Fila> primera = generarCatalogo(e);
  e.ctx.ListaCodigos.vaciar();
  e.ctx.ListaNombres.vaciar();
  const std::vector<Fila> segunda = generarCatalogo(e);
  EXPECT_EQ(segunda, primera);
  EXPECT_EQ(primera, (std::vector<Fila>{{"LEUA", "Lengua", "Lengua", "F", "LENGUA"},
                                        {"LENG", "Lengua", "Lengua", "F", "LENGUA2"},
                                        {"MAT", "M", "M", "F", "MAT"},
                                        {"GUIA", "Guardia", "Guardia", "T", "GUARDIA"},
                                        {"MATX", "M", "M", "T", "MATX"}}));
}

// The test school, row by row: the rule squeezes long codes, and GUARBIB falls on GUAR.
TEST(Catalogo, TestSchool) {
  EscuelaEjemplo escuela;
  GenerarMaterias(escuela.ctx);
  GenerarTiposActividad(escuela.ctx);
  const std::vector<Fila> esperadas = {
      {"LCL", "Lengua C", "Lengua Castellana y Literatura", "", "F", "LCL"},
      {"MAT", "Matemáti", "Matemáticas", "", "F", "MAT"},
      {"MAAC", "Matemáti", "Matemáticas Académicas", "", "F", "MATAC"},
      {"ING", "Inglés", "Inglés", "", "F", "ING"},
      {"FRA2", "Francés", "Francés (Segunda Lengua Extranjera)", "", "F", "FRA2"},
      {"BIEO", "Biología", "Biología y Geología", "", "F", "BIOGEO"},
      {"FIIM", "Física y", "Física y Química", "", "F", "FISQUIM"},
      {"GEIS", "Geografí", "Geografía e Historia", "", "F", "GEOHIS"},
      {"EDIS", "Educació", "Educación Física", "", "F", "EDFIS"},
      {"TENO", "Tecnolog", "Tecnología y Digitalización", "", "F", "TECNO"},
      {"MUCA", "Música", "Música", "", "F", "MUSICA"},
      {"EPVA", "Educació", "Educación Plástica, Visual y Audiovisual", "", "F", "EPVA"},
      {"REL", "Religión", "Religión Católica", "", "F", "REL"},
      {"ATDU", "Atención", "Atención Educativa", "", "F", "ATEDU"},
      {"TUT", "Tutoría", "Tutoría", "", "F", "TUT"},
      {"LAT", "Latín", "Latín", "", "F", "LAT"},
      {"GRI", "Griego", "Griego", "", "F", "GRI"},
      {"FIL", "Filosofí", "Filosofía", "", "F", "FIL"},
      {"MA1B", "Matemáti", "Matemáticas I", "", "F", "MAT1B"},
      {"MAS1", "Matemáti", "Matemáticas Aplicadas a las Ciencias Soc", "", "F", "MACS1"},
      {"FIQ1", "Física y", "Física y Química (Bachillerato)", "", "F", "FISQ1"},
      {"DTC1", "Dibujo T", "Dibujo Técnico I", "", "F", "DTEC1"},
      {"HMC", "Historia", "Historia del Mundo Contemporáneo", "", "F", "HMC"},
      {"ECO", "Economía", "Economía", "", "F", "ECO"},
      {"MA2B", "Matemáti", "Matemáticas II", "", "F", "MAT2B"},
      {"QU2B", "Química", "Química", "", "F", "QUI2B"},
      {"BI2B", "Biología", "Biología", "", "F", "BIO2B"},
      {"HES", "Historia", "Historia de España", "", "F", "HES"},
      {"HFIL", "Historia", "Historia de la Filosofía", "", "F", "HFIL"},
      {"LC2B", "Lengua C", "Lengua Castellana y Literatura II", "", "F", "LCL2B"},
      {"IN2B", "Inglés I", "Inglés II", "", "F", "ING2B"},
      {"GUAR", "Guardia", "Guardia", "", "T", "GUAR"},
      {"GREC", "Guardia", "Guardia de recreo", "", "T", "GREC"},
      {"REDP", "Reunión", "Reunión de departamento", "", "T", "REDP"},
      {"JDEP", "Jefatura", "Jefatura de departamento", "", "T", "JDEP"},
      {"ATAD", "Atención", "Atención a padres y madres", "", "T", "ATPAD"},
      {"COIC", "Coordina", "Coordinación TIC", "", "T", "COORDTIC"},
  };
  EXPECT_EQ(filasDe(escuela.carpeta.ruta(), "ASIGNOMT",
                    {"COD", "CODLARGO", "NOMBRE", "CODTAREA", "ESTAREA", "ABREV_GESTION"}),
            esperadas);
  EXPECT_EQ(avisosDe(escuela.informe, "actividad_no_escrita"), 1) << escuela.informe.texto();
  EXPECT_EQ(avisosDe(escuela.informe, "materia_no_escrita"), 0);
}

}  // namespace
