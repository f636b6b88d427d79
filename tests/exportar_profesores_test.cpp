// PROFT: teachers' short codes (unique in the table), names and departments.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/errores.h"
#include "apoyo/entorno_generador.h"
#include "apoyo/escuela_ejemplo.h"
#include "apoyo/filas_tabla.h"
#include "centre_to_timetable/generadores.h"

using namespace tov;
using namespace tov::prueba;

namespace {

const std::vector<std::string> kCampos = {"ABREV", "NOMBRE", "DEPART"};

std::string profesor(const std::string& codigo, const std::string& dep = "",
                     const std::string& nombre = "N") {
  return "<Profesor Codigo=\"" + codigo + "\" Nombre=\"" + nombre +
         "\" Apellido1=\"A\" Apellido2=\"B\" CodigoDep=\"" + dep + "\"/>\n";
}

std::string profesores(const std::vector<std::string>& codigos) {
  std::string s = "<Profesores>";
  for (const auto& c : codigos) s += profesor(c);
  return s + "</Profesores>";
}

std::vector<std::string> abcHasta9YAbc() {
  std::vector<std::string> v = {"ABC"};
  for (int i = 1; i <= 9; ++i) v.push_back("ABC" + std::to_string(i));
  v.push_back("ABC");
  return v;
}

struct CasoCodigos {
  const char* nombre;
  std::vector<std::string> codigos;
  std::vector<std::string> abrev;
  friend void PrintTo(const CasoCodigos& c, std::ostream* os) { *os << c.nombre; }
};

class CodigosProfesor : public testing::TestWithParam<CasoCodigos> {};

TEST_P(CodigosProfesor, StoresOneCodePerTeacher) {
  EntornoGenerador e(profesores(GetParam().codigos));
  GenerarProfesores(e.ctx);
  EXPECT_EQ(columna(filasDe(e.carpeta.ruta(), "PROFT", kCampos), 0), GetParam().abrev);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, CodigosProfesor,
    testing::Values(
        CasoCodigos{"AnaTresVeces", {"ANA", "ANA", "ANA"}, {"ANA", "ANA1", "ANA2"}},
        CasoCodigos{"MayusculasNoDistinguen", {"ABC", "abc"}, {"ABC", "abc1"}},
        CasoCodigos{"MatTrasMAT", {"MAT", "mat"}, {"MAT", "mat1"}},
        CasoCodigos{"AcentoMayuscula", {"ÁNA", "ána"}, {"ÁNA", "ána1"}},
        CasoCodigos{"CodigoCortoTomado", {"AB", "AB"}, {"AB", "AB1"}},
        CasoCodigos{"EnBlanco", {"", " ", ""}, {"", "1", "2"}},
        CasoCodigos{"UnoSolo", {"PEREZ"}, {"PERE"}},
        // The rule stores PERE twice; the second takes the first free code from PER.
        CasoCodigos{"PerezPeres", {"PEREZ", "PERES"}, {"PERE", "PER1"}},
        // ABC10 would be stored as ABC1, already there; ABC10 is too long, so AB1.
        CasoCodigos{"AbcDiez", abcHasta9YAbc(),
                    {"ABC", "ABC1", "ABC2", "ABC3", "ABC4", "ABC5", "ABC6", "ABC7", "ABC8",
                     "ABC9", "AB1"}},
        // The stored replacement does not enter the rule's list: a later PER1 keeps its
        // code in the rule but not in the table.
        CasoCodigos{"SustitutoOcupado", {"PEREZ", "PERES", "PER1"}, {"PERE", "PER1", "PER2"}}),
    [](const auto& info) { return std::string(info.param.nombre); });

struct CasoDepartamento {
  const char* nombre;
  const char* departamentos;
  const char* codigoDep;
  const char* depart;
  bool avisado;  // the report says no department has the code
  friend void PrintTo(const CasoDepartamento& c, std::ostream* os) { *os << c.nombre; }
};

class Departamento : public testing::TestWithParam<CasoDepartamento> {};

TEST_P(Departamento, GivesTheNameOfTheFirstMatch) {
  const auto& c = GetParam();
  EntornoGenerador e(std::string(c.departamentos) + "<Profesores>" +
                     profesor("P1", c.codigoDep) + "</Profesores>");
  GenerarProfesores(e.ctx);
  EXPECT_EQ(filasDe(e.carpeta.ruta(), "PROFT", kCampos),
            (std::vector<Fila>{{"P1", "N, A B", c.depart}}));
  const bool avisado = std::any_of(e.informe.avisos().begin(), e.informe.avisos().end(),
                                   [](const Aviso& a) { return a.tipo == "departamento_desconocido"; });
  EXPECT_EQ(avisado, c.avisado) << e.informe.texto();
}

const char* kDosDepartamentos = R"(<Departamentos>
    <Departamento Codigo="LEN" Denominacion="Lengua"/>
    <Departamento Codigo=" MAT " Denominacion=" Matemáticas "/>
    <Departamento Codigo="MAT" Denominacion="Matemáticas bis"/>
    <Departamento Codigo="Mπ" Denominacion="Pi"/>
    <Departamento Codigo="M?" Denominacion="Interrogante"/></Departamentos>)";

INSTANTIATE_TEST_SUITE_P(
    Casos, Departamento,
    testing::Values(
        CasoDepartamento{"Encontrado", kDosDepartamentos, "MAT", "Matemáticas", false},
        CasoDepartamento{"Desconocido", kDosDepartamentos, "XYZ", "XYZ", true},
        CasoDepartamento{"SoloDifiereEnMayusculas", kDosDepartamentos, "mat", "mat", true},
        CasoDepartamento{"EnBlanco", kDosDepartamentos, "  ", "", false},
        // Mπ is read as M?, which is widened again for the comparison: it finds the
        // department coded M?, never the one coded Mπ.
        CasoDepartamento{"CaracterPerdido", kDosDepartamentos, "Mπ", "Interrogante", false},
        CasoDepartamento{"UnSoloDepartamento",
                         R"(<Departamentos><Departamento Codigo="MAT" Denominacion="Matemáticas"/>
                            </Departamentos>)",
                         "MAT", "Matemáticas", false},
        CasoDepartamento{"SinDepartamentos", "", "MAT", "MAT", true}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(Profesores, NameKeepsBothSeparatorsAndIsCutAt40) {
  EntornoGenerador e(R"(<Profesores>
    <Profesor Codigo="AP" Nombre=" Ana " Apellido1="Pérez" Apellido2="Gil" CodigoDep=""/>
    <Profesor Codigo="AP2" Nombre="Ana" Apellido1="Pérez" Apellido2="" CodigoDep=""/>
    <Profesor Codigo="NN" Nombre="" Apellido1="" CodigoDep=""/>
    <Profesor Codigo="LARGO" Nombre="Maximiliano Alejandro" Apellido1="Fernández-Villaverde"
              Apellido2="Santisteban" CodigoDep=""/></Profesores>)");
  GenerarProfesores(e.ctx);
  EXPECT_EQ(columna(filasDe(e.carpeta.ruta(), "PROFT", kCampos), 1),
            (std::vector<std::string>{"Ana, Pérez Gil", "Ana, Pérez", ",",
                                      "Maximiliano Alejandro, Fernández-Villave"}));
  std::vector<std::string> tipos;
  for (const Aviso& a : e.informe.avisos()) tipos.push_back(a.tipo);
  EXPECT_EQ(tipos, (std::vector<std::string>{"texto_cortado", "codigo_cambiado"}));
}

TEST(Profesores, ReportNamesEveryChangedCode) {
  EntornoGenerador e(profesores({"ANA", "ANA", "PEREZ", "PERES", "OK"}));
  GenerarProfesores(e.ctx);
  std::vector<std::string> mensajes;
  for (const Aviso& a : e.informe.avisos())
    if (a.tipo == "codigo_cambiado") mensajes.push_back(a.mensaje);
  ASSERT_EQ(mensajes.size(), 3u) << e.informe.texto();
  EXPECT_NE(mensajes[0].find("«ANA» se guarda en PROFT como «ANA1»"), std::string::npos)
      << mensajes[0];
  EXPECT_NE(mensajes[1].find("«PEREZ» se guarda en PROFT como «PERE»"), std::string::npos)
      << mensajes[1];
  EXPECT_NE(mensajes[2].find("«PERES» se guarda en PROFT como «PER1»"), std::string::npos)
      << mensajes[2];
  EXPECT_NE(mensajes[2].find("«PERE» ya es el código de otro profesor"), std::string::npos)
      << mensajes[2];
}

// Every code shares the first character and every shorter prefix is used up.
TEST(Profesores, StopsWhenNoCodeIsLeft) {
  std::vector<std::string> codigos = {"Q"};
  for (int i = 1; i <= 999; ++i) codigos.push_back("Q" + std::to_string(i));
  codigos.push_back("Q");
  EntornoGenerador e(profesores(codigos));
  try {
    GenerarProfesores(e.ctx);
    FAIL() << "sin error";
  } catch (const ErrorDatos& err) {
    EXPECT_NE(std::string(err.what()).find("Profesor Q (línea 1003)"), std::string::npos)
        << err.what();
  }
  // The table was closed on the way out: it opens for exclusive use.
  EXPECT_NO_THROW(DbfTable::open(e.carpeta.ruta(), "PROFT", Access::Exclusive));
}

TEST(Profesores, TestSchool) {
  EscuelaEjemplo escuela;
  GenerarProfesores(escuela.ctx);
  const std::string mat = "Matemáticas", len = "Lengua Castellana y Literatura",
                    ing = "Inglés", byg = "Biología y Geología", fyq = "Física y Química",
                    geh = "Geografía e Historia", efi = "Educación Física", tec = "Tecnología";
  const std::vector<Fila> esperadas = {
      {"AGM", "Ana, García Muñoz", mat},
      {"JMFE", "José María, Fernández Ibáñez", mat},
      {"RLP", "Rocío, López Peñalver", mat},
      {"MJS", "Mª Jesús, Sáez Ortiz", len},
      {"IGN", "Íñigo, Gómez Núñez", len},
      {"BRC", "Begoña, Ruiz Castaño", len},
      {"ADV", "Ángeles, Díaz Villalón", ing},
      {"PMS", "Pilar, Martín Serrano", ing},
      {"TOB", "Tomás, Ocaña Bermúdez", ing},
      {"CBL", "Céline, Boulanger Lefèvre", "Francés"},
      {"LHR", "Lucía, Hernández Rubio", byg},
      {"SPA", "Sergio, Pérez Alarcón", byg},
      {"EJM", "Eugenia, Jiménez Morán", fyq},
      {"RAGU", "Raúl, Aguilar Cañete", fyq},
      {"FVG", "Francisco Javier, Vázquez Gil", geh},
      {"MDR", "Marta, Domínguez Ramos", geh},
      {"NGO", "Nuria, González Oñate", geh},
      {"JCS", "Juan Carlos, Sánchez Cortés", efi},
      {"ATM", "Alejandro, Torres Medina", efi},
      {"VRI", "Verónica, Romero Iglesias", tec},
      {"DBL", "David, Blanco Lozano", tec},
      {"IMU", "Inés, Molina Urbano", "Música"},
      {"ECA", "Estíbaliz, Castro Azcárate", "Dibujo"},
      {"OGA", "Óscar, Gallego Arévalo", "Filosofía"},
      {"MRP", "María del Rocío, Prieto Benítez", "Latín y Griego"},
      {"CNA", "Concepción, Navarro Aranda", "Orientación"},
      {"JLR", "José Luis, Reyes Sáinz", "Religión"},
      {"EVM", "Elena, Vidal Montaño", mat},
      {"AFG", "Andrés, Fuentes Garrido", len},
      {"PSO", "Paloma, Soler Olmedo", ""},
  };
  EXPECT_EQ(filasDe(escuela.carpeta.ruta(), "PROFT", kCampos), esperadas);
  ASSERT_EQ(escuela.informe.tablas().size(), 1u);
  EXPECT_EQ(escuela.informe.tablas()[0].second, 30);
}

}  // namespace
