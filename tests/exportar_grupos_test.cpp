// GRUPOST: groups' short codes (unique in the table), the course of study in the
// description, tutors checked against PROFT, and the host's CURSOST removed.
#include <gtest/gtest.h>

#include "app/errores.h"
#include "apoyo/entorno_generador.h"
#include "apoyo/escuela_ejemplo.h"
#include "apoyo/filas_tabla.h"
#include "centre_to_timetable/generadores.h"

namespace fs = std::filesystem;
using namespace tov;
using namespace tov::prueba;

namespace {

const std::vector<std::string> kCampos = {"ABREV", "TURNO", "NIVEL", "CURSO",
                                          "GRUPO", "DESCRIP", "TUTOR"};

// PROFT holds AGM, MJS and JMFE (from JMFERNANDEZ).
const std::string kProfesores = R"(<Profesores>
  <Profesor Codigo="AGM" Nombre="Ana" Apellido1="García" Apellido2="Muñoz" CodigoDep=""/>
  <Profesor Codigo="MJS" Nombre="Mª Jesús" Apellido1="Sáez" Apellido2="Ortiz" CodigoDep=""/>
  <Profesor Codigo="JMFERNANDEZ" Nombre="José" Apellido1="Fernández" Apellido2="" CodigoDep=""/>
</Profesores>)";

const std::string kEnsenanzas = R"(<Ensenanzas>
  <Ensenanza Codigo="ESO" Denominacion="Secundaria"/>
  <Ensenanza Codigo=" BACH " Denominacion=" Bachillerato "/>
  <Ensenanza Codigo="BACH" Denominacion="Bachillerato repetido"/>
</Ensenanzas>)";

std::string grupo(const std::string& codigo, const std::string& ensenanza = "ESO",
                  const std::string& tutor = "", const std::string& nombre = "G") {
  return "<Grupo Codigo=\"" + codigo + "\" Denominacion=\"" + nombre + "\" CodigoEnsenanza=\"" +
         ensenanza + "\" Turno=\"M\" Curso=\"1\" Letra=\"A\" CodigoTutor=\"" + tutor +
         "\"/>\n";
}

std::string grupos(const std::vector<std::string>& codigos) {
  std::string s = "<Grupos>";
  for (const auto& c : codigos) s += grupo(c, "");
  return s + "</Grupos>";
}

std::vector<Fila> generarGrupos(EntornoGenerador& e) {
  GenerarProfesores(e.ctx);
  GenerarGrupos(e.ctx);
  return filasDe(e.carpeta.ruta(), "GRUPOST", kCampos);
}

struct CasoCodigos {
  const char* nombre;
  std::vector<std::string> codigos;
  std::vector<std::string> abrev;
  friend void PrintTo(const CasoCodigos& c, std::ostream* os) { *os << c.nombre; }
};

class CodigosGrupo : public testing::TestWithParam<CasoCodigos> {};

TEST_P(CodigosGrupo, StoresOneCodePerGroup) {
  EntornoGenerador e(kProfesores + grupos(GetParam().codigos));
  EXPECT_EQ(columna(generarGrupos(e), 0), GetParam().abrev);
}

std::vector<std::string> tresAbHasta9YTresAb() {
  std::vector<std::string> v = {"3AB"};
  for (int i = 1; i <= 9; ++i) v.push_back("3AB" + std::to_string(i));
  v.push_back("3AB");
  return v;
}

INSTANTIATE_TEST_SUITE_P(
    Casos, CodigosGrupo,
    testing::Values(
        CasoCodigos{"UnoSolo", {"1ESOA"}, {"1EOA"}},
        CasoCodigos{"MayusculasNoDistinguen", {"1ESO", "1eso"}, {"1ESO", "1es1"}},
        // The rule squeezes both to 1EOA; the second takes the first free code from 1EX.
        CasoCodigos{"AcortadosIguales", {"1ESOA", "1EXOA"}, {"1EOA", "1EX1"}},
        CasoCodigos{"TresAbDiez", tresAbHasta9YTresAb(),
                    {"3AB", "3AB1", "3AB2", "3AB3", "3AB4", "3AB5", "3AB6", "3AB7", "3AB8",
                     "3AB9", "3A10"}},
        CasoCodigos{"EnBlanco", {"", " ", ""}, {"", "1", "2"}},
        // The rule's list keeps 1EOA (not 1EX1): a later 1EX1 is free there, but stored.
        CasoCodigos{"SustitutoOcupado", {"1ESOA", "1EXOA", "1EX1"}, {"1EOA", "1EX1", "1EX2"}}),
    [](const auto& info) { return std::string(info.param.nombre); });

struct CasoGrupo {
  const char* nombre;
  std::string cuerpo;           // groups and courses of study; PROFT as kProfesores gives it
  std::vector<Fila> filas;
  std::vector<std::string> avisos;  // report entries of type tutor_desconocido, in order
  friend void PrintTo(const CasoGrupo& c, std::ostream* os) { *os << c.nombre; }
};

class Grupos : public testing::TestWithParam<CasoGrupo> {};

TEST_P(Grupos, WritesTheRowsOfTheRules) {
  const CasoGrupo& c = GetParam();
  EntornoGenerador e(kProfesores + c.cuerpo);
  EXPECT_EQ(generarGrupos(e), c.filas);
  std::vector<std::string> avisos;
  for (const Aviso& a : e.informe.avisos())
    if (a.tipo == "tutor_desconocido") avisos.push_back(a.mensaje);
  ASSERT_EQ(avisos.size(), c.avisos.size()) << e.informe.texto();
  for (std::size_t i = 0; i < avisos.size(); ++i)
    EXPECT_NE(avisos[i].find(c.avisos[i]), std::string::npos) << avisos[i];
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Grupos,
    testing::Values(
        CasoGrupo{"Tutores",
                  "<Grupos>" + grupo("G1", "", "AGM") + grupo("G2", "", "agm") +
                      grupo("G3", "", "JMFERNANDEZ") + grupo("G4", "", "XYZ") +
                      grupo("G5", "", "  ") + grupo("G6", "", " MJS ") + "</Grupos>",
                  {{"G1", "M", "", "1", "A", "G", "AGM"},
                   {"G2", "M", "", "1", "A", "G", ""},
                   {"G3", "M", "", "1", "A", "G", ""},
                   {"G4", "M", "", "1", "A", "G", ""},
                   // A blank tutor is empty, never the tutor of the group before.
                   {"G5", "M", "", "1", "A", "G", ""},
                   {"G6", "M", "", "1", "A", "G", "MJS"}},
                  {"«agm» no se guarda: solo coincide con el profesor «AGM»",
                   "«JMFERNANDEZ» no se guarda: tiene más de cuatro caracteres",
                   "«XYZ» no se guarda: no es el código de ningún profesor"}},
        CasoGrupo{"Descripciones",
                  kEnsenanzas + "<Grupos>" + grupo("G1", "ESO", "", "1º ESO A") +
                      grupo("G2", "BACH", "", "1º Bach") + grupo("G3", "", "", "Sin nivel") +
                      grupo("G4", "eso", "", "Minúsculas") + grupo("G5", "FP", "", "FP") +
                      "</Grupos>",
                  {{"G1", "M", "ESO", "1", "A", "1º ESO A (Secundaria)", ""},
                   // Two courses of study coded BACH: the first gives the name.
                   {"G2", "M", "BACH", "1", "A", "1º Bach (Bachillerato)", ""},
                   {"G3", "M", "", "1", "A", "Sin nivel", ""},
                   {"G4", "M", "eso", "1", "A", "Minúsculas", ""},
                   {"G5", "M", "FP", "1", "A", "FP", ""}},
                  {}},
        // Lists of one element are read.
        CasoGrupo{"UnGrupoYUnaEnsenanza",
                  R"(<Ensenanzas><Ensenanza Codigo="ESO" Denominacion="Secundaria"/></Ensenanzas>
                     <Grupos>)" + grupo("1ESOA", "ESO", "AGM", "1º A") + "</Grupos>",
                  {{"1EOA", "M", "ESO", "1", "A", "1º A (Secundaria)", "AGM"}},
                  {}},
        CasoGrupo{"CamposCortados",
                  "<Ensenanzas><Ensenanza Codigo=\"BACHCT\" Denominacion=\"Bachillerato de "
                  "Ciencias y Tecnología\"/></Ensenanzas><Grupos>" +
                      std::string("<Grupo Codigo=\"1BACHA\" Denominacion=\"1º Bachillerato A\" "
                                  "CodigoEnsenanza=\"BACHCT\" Turno=\"MT\" Curso=\"1BAC\" "
                                  "Letra=\"ABC\" CodigoTutor=\"AGM\"/>") +
                      "</Grupos>",
                  {{"1BHA", "M", "BACHC", "1BA", "AB", "1º Bachillerato A (Bachillerato de Cienc",
                    "AGM"}},
                  {}},
        CasoGrupo{"SinGrupos", "<Grupos/>", {}, {}}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(Grupos, RemovesTheHostsCourseTable) {
  EntornoGenerador e(kProfesores + grupos({"A", "B"}));
  escribirArchivo(e.carpeta / "CURSOST.DBF", "tabla de cursos del anfitrión");
  escribirArchivo(e.carpeta / "CURSOST.MDX", "su índice");
  escribirArchivo(e.carpeta / "GRUPOST.MDX", "índice viejo");
  generarGrupos(e);
  EXPECT_FALSE(fs::exists(e.carpeta / "CURSOST.DBF"));
  EXPECT_FALSE(fs::exists(e.carpeta / "CURSOST.MDX"));
  EXPECT_FALSE(fs::exists(e.carpeta / "GRUPOST.MDX"));
  EXPECT_TRUE(fs::exists(e.carpeta / "GRUPOST.DBF"));
}

TEST(Grupos, ClosesBothTablesAndNeedsTheTeachers) {
  EntornoGenerador e(kProfesores + grupos({"A", "B"}));
  generarGrupos(e);
  EXPECT_NO_THROW(DbfTable::open(e.carpeta.ruta(), "PROFT", Access::Exclusive));
  EXPECT_NO_THROW(DbfTable::open(e.carpeta.ruta(), "GRUPOST", Access::Exclusive));

  EntornoGenerador sinProfesores(grupos({"A", "B"}));
  EXPECT_THROW(GenerarGrupos(sinProfesores.ctx), ErrorTabla);
  EXPECT_NO_THROW(DbfTable::open(sinProfesores.carpeta.ruta(), "GRUPOST", Access::Exclusive));
}

TEST(Grupos, ReportNamesEveryChangedCode) {
  EntornoGenerador e(kProfesores + grupos({"1ESOA", "1EXOA", "OK", "ok"}));
  generarGrupos(e);
  std::vector<std::string> mensajes;
  for (const Aviso& a : e.informe.avisos())
    if (a.tipo == "codigo_cambiado" && a.mensaje.rfind("Grupo", 0) == 0)
      mensajes.push_back(a.mensaje);
  ASSERT_EQ(mensajes.size(), 3u) << e.informe.texto();
  EXPECT_NE(mensajes[0].find("«1ESOA» se guarda en GRUPOST como «1EOA»"), std::string::npos);
  EXPECT_NE(mensajes[1].find("«1EXOA» se guarda en GRUPOST como «1EX1»"), std::string::npos);
  EXPECT_NE(mensajes[1].find("«1EOA» ya es el código de otro grupo"), std::string::npos)
      << mensajes[1];
  EXPECT_NE(mensajes[2].find("«ok» se guarda en GRUPOST como «ok1»"), std::string::npos)
      << mensajes[2];
}

TEST(Grupos, TestSchool) {
  EscuelaEjemplo escuela;
  GenerarProfesores(escuela.ctx);
  GenerarGrupos(escuela.ctx);
  const std::string eso = " (Educación Secundaria Obligator";  // cut at 40 with the group's name
  const std::vector<Fila> esperadas = {
      {"1EOA", "M", "ESO", "1", "A", "1º ESO A" + eso, "AGM"},
      {"1EOB", "M", "ESO", "1", "B", "1º ESO B" + eso, "MJS"},
      {"1EOC", "M", "ESO", "1", "C", "1º ESO C" + eso, "LHR"},
      {"2EOA", "M", "ESO", "2", "A", "2º ESO A" + eso, "IGN"},
      {"2EOB", "M", "ESO", "2", "B", "2º ESO B" + eso, ""},  // VACANTE3 is no teacher
      {"3EOA", "M", "ESO", "3", "A", "3º ESO A" + eso, "EJM"},
      {"3EOB", "M", "ESO", "3", "B", "3º ESO B" + eso, "FVG"},
      {"4EOA", "M", "ESO", "4", "A", "4º ESO A" + eso, "ADV"},
      {"4EOB", "M", "ESO", "4", "B", "4º ESO B" + eso, "JCS"},
      // JMFERNANDEZ and RAGUILAR are stored as JMFE and RAGU: not found as tutors.
      {"1BHA", "M", "BACHC", "1", "A", "1º Bachillerato A (Ciencias) (Bachillera", ""},
      {"1BHB", "M", "BACHH", "1", "B", "1º Bachillerato B (Humanidades) (Bachill", "MRP"},
      {"2BHA", "M", "BACHC", "2", "A", "2º Bachillerato A (Ciencias) (Bachillera", ""},
  };
  EXPECT_EQ(filasDe(escuela.carpeta.ruta(), "GRUPOST", kCampos), esperadas);
  int tutores = 0;
  for (const Aviso& a : escuela.informe.avisos()) tutores += a.tipo == "tutor_desconocido";
  EXPECT_EQ(tutores, 3);
}

}  // namespace
