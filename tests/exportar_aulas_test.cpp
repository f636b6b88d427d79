// AULAT: rooms' short codes (unique in the table), taken from the name when the room has
// no code.
#include <gtest/gtest.h>

#include "apoyo/entorno_generador.h"
#include "apoyo/escuela_ejemplo.h"
#include "apoyo/filas_tabla.h"
#include "centre_to_timetable/generadores.h"

using namespace tov;
using namespace tov::prueba;

namespace {

const std::vector<std::string> kCampos = {"ABREV", "NOMBRE", "EDIFICIO", "MAXALUM",
                                          "ABREV_GESTION"};

struct Sala {
  std::string codigo;  // "-" for no Codigo attribute at all
  std::string nombre;
};

std::string aulas(const std::vector<Sala>& salas) {
  std::string s = "<Aulas>";
  for (const auto& a : salas)
    s += "<Aula" + (a.codigo == "-" ? std::string() : " Codigo=\"" + a.codigo + "\"") +
         " Denominacion=\"" + a.nombre + "\"/>\n";
  return s + "</Aulas>";
}

std::vector<Sala> numeradas(const std::string& prefijo, int hasta) {
  std::vector<Sala> v;
  for (int i = 1; i <= hasta; ++i) v.push_back({prefijo + std::to_string(i), "Aula"});
  return v;
}

template <typename... V>
std::vector<Sala> unir(std::vector<Sala> a, const V&... resto) {
  (a.insert(a.end(), resto.begin(), resto.end()), ...);
  return a;
}

struct Caso {
  const char* nombre;
  std::vector<Sala> salas;
  std::vector<Fila> ultimas;  // the last rows of the table: ABREV, NOMBRE, ABREV_GESTION
  friend void PrintTo(const Caso& c, std::ostream* os) { *os << c.nombre; }
};

class Aulas : public testing::TestWithParam<Caso> {};

TEST_P(Aulas, WritesTheRowsOfTheRules) {
  const Caso& c = GetParam();
  EntornoGenerador e(aulas(c.salas));
  GenerarAulas(e.ctx);
  const std::vector<Fila> filas = filasDe(e.carpeta.ruta(), "AULAT", kCampos);
  ASSERT_EQ(filas.size(), c.salas.size());
  for (const Fila& f : filas) {
    EXPECT_EQ(f[2], "") << "EDIFICIO";
    EXPECT_EQ(f[3], "") << "MAXALUM";
  }
  std::vector<Fila> ultimas;
  for (std::size_t i = filas.size() - c.ultimas.size(); i < filas.size(); ++i)
    ultimas.push_back({filas[i][0], filas[i][1], filas[i][4]});
  EXPECT_EQ(ultimas, c.ultimas);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Aulas,
    testing::Values(
        Caso{"A12DosVeces", {{"A12", "Uno"}, {"A12", "Dos"}},
             {{"A12", "Uno", "A12"}, {"A121", "Dos", "A12"}}},
        Caso{"CodigosLargos", {{"AULA12", "Doce"}, {"AULA13", "Trece"}},
             {{"AU1", "Doce", "AULA12"}, {"AU2", "Trece", "AULA13"}}},
        Caso{"MayusculasNoDistinguen", {{"B1", "Be"}, {"b1", "be"}},
             {{"B1", "Be", "B1"}, {"b11", "be", "b1"}}},
        Caso{"CodigoDelNombre",
             {{"", "Laboratorio"}, {"-", "  Laboratorio de física "}},
             {{"Labo", "Laboratorio", ""}, {"Lab1", "Laboratorio de física", ""}}},
        Caso{"SinCodigoNiNombre", {{"", ""}, {"-", " "}, {"", ""}},
             {{"", "", ""}, {"1", "", ""}, {"2", "", ""}}},
        Caso{"NombreCorto", {{"", "Gim"}, {"", "Gim"}}, {{"Gim", "Gim", ""}, {"Gim1", "Gim", ""}}},
        // ABC10 from the first search goes to the second: AB1.
        Caso{"AbcDiez", unir(std::vector<Sala>{{"ABC", "Aula"}}, numeradas("ABC", 9),
                             std::vector<Sala>{{"ABC", "Otra"}}),
             {{"ABC9", "Aula", "ABC9"}, {"AB1", "Otra", "ABC"}}},
        // The second search gives AB100, stored as AB10, which the room AB10 has: the row
        // takes the first free code from ABX.
        Caso{"SegundaBusquedaDeCinco",
             unir(numeradas("AB", 99), std::vector<Sala>{{"ABXYZ", "Nueva"}}),
             {{"AB99", "Aula", "AB99"}, {"ABX1", "Nueva", "ABXYZ"}}},
        Caso{"UnaSola", {{"GIM", "Gimnasio"}}, {{"GIM", "Gimnasio", "GIM"}}},
        Caso{"NombreYCodigoCortados",
             {{"SALA-DE-USOS-MULTIPLES-1", "Sala de usos múltiples del edificio principal"},
              {"X", "x"}},
             {{"SA1", "Sala de usos múltiples del edificio prin", "SALA-DE-USOS-MULTIPL"},
              {"X", "x", "X"}}}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(Aulas, ReportNamesDerivedAndChangedCodes) {
  EntornoGenerador e(aulas({{"", "Laboratorio"}, {"A12", "a"}, {"A12", "b"}, {"OK", "c"}}));
  GenerarAulas(e.ctx);
  std::vector<std::string> mensajes;
  for (const Aviso& a : e.informe.avisos()) {
    EXPECT_EQ(a.tipo, "codigo_cambiado");
    mensajes.push_back(a.mensaje);
  }
  ASSERT_EQ(mensajes.size(), 2u) << e.informe.texto();
  EXPECT_NE(mensajes[0].find("Aula sin código (línea 3): no tiene código y se guarda en AULAT "
                             "como «Labo»"),
            std::string::npos)
      << mensajes[0];
  EXPECT_NE(mensajes[1].find("Aula A12 (línea 5): el código «A12» se guarda en AULAT como "
                             "«A121»"),
            std::string::npos)
      << mensajes[1];
}

TEST(Aulas, TestSchool) {
  EscuelaEjemplo escuela;
  GenerarAulas(escuela.ctx);
  const std::vector<Fila> esperadas = {
      {"A101", "Aula 1.01", "", "", "A101"},
      {"A102", "Aula 1.02", "", "", "A102"},
      {"A103", "Aula 1.03", "", "", "A103"},
      {"A201", "Aula 2.01", "", "", "A201"},
      {"A202", "Aula 2.02", "", "", "A202"},
      {"A203", "Aula 2.03", "", "", "A203"},
      {"LA1", "Laboratorio de Física y Química", "", "", "LABFQ"},
      {"LA2", "Laboratorio de Biología", "", "", "LABBG"},
      {"INF1", "Aula de Informática 1", "", "", "INF1"},
      {"TA1", "Taller de Tecnología", "", "", "TALLER"},
      {"MUS", "Aula de Música", "", "", "MUS"},
      {"PL1", "Aula de Plástica", "", "", "PLAST"},
      {"GIM", "Gimnasio", "", "", "GIM"},
      {"BIB", "Biblioteca", "", "", "BIB"},
  };
  EXPECT_EQ(filasDe(escuela.carpeta.ruta(), "AULAT", kCampos), esperadas);
}

}  // namespace
