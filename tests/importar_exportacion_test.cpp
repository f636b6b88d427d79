// The solution export: the two walks over SOLUC with their rules and lookups, SOLUC tables
// written by other programs, the run report with its ASIGT check, and the run's frame
// (tables closed on every path, nothing saved on an error, the output replaced whole).
#include "timetable_to_centre/exportacion_solucion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "app/errores.h"
#include "app/sistema_archivos.h"
#include "apoyo/archivos_fallidos.h"
#include "apoyo/mundo_solucion.h"

namespace fs = std::filesystem;
using namespace tov;
using namespace tov::prueba;

namespace {

const std::string kFinCentro = "</Centro>\n";

Informe exportar(MundoSolucion& m, SistemaArchivos& archivos = SistemaArchivos::real()) {
  return exportarSolucion(m.xml, m.trabajo, archivos, m.resultado);
}

std::vector<std::string> tiposDeAviso(const Informe& informe) {
  std::vector<std::string> tipos;
  for (const auto& a : informe.avisos()) tipos.push_back(a.tipo);
  return tipos;
}

const Aviso* aviso(const Informe& informe, const std::string& tipo, int linea) {
  for (const auto& a : informe.avisos())
    if (a.tipo == tipo && a.linea == linea) return &a;
  return nullptr;
}

long filas(const Informe& informe, const std::string& tabla) {
  for (const auto& [t, n] : informe.tablas())
    if (t == tabla) return n;
  return -1;
}

struct CasoFilas {
  const char* nombre;
  std::vector<FilaSoluc> soluc;
  std::vector<std::string> esperadas;
};

class Filas : public testing::TestWithParam<CasoFilas> {};

// Every case runs with DIA and HORA as text fields and as numeric fields.
TEST_P(Filas, GiveTheseActivities) {
  for (TiposSoluc tipos : {TiposSoluc::Texto, TiposSoluc::Numero}) {
    SCOPED_TRACE(tipos == TiposSoluc::Texto ? "DIA y HORA de texto" : "DIA y HORA numéricos");
    MundoSolucion m;
    m.soluc(GetParam().soluc, tipos);
    exportar(m);
    EXPECT_EQ(actividadesDe(leerArchivo(m.resultado)), GetParam().esperadas);
    EXPECT_TRUE(m.tablasCerradas());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Filas,
    testing::Values(
        CasoFilas{"ClaseYTarea",
                  {{"MAT", "CLA", "1", "1", "1A", "P1", "A1"},
                   {"GUAR", "GUAR", "2", "5", "GUARD", "P2", "A1"}},
                  {actividad("CLA", "P1", "1A", "MATEMATICA", "AULA-101", "L", "08:00", "08:55"),
                   actividad("GUAR", "P2", "GUARD", "", "AULA-101", "M", "11:00", "11:55")}},
        CasoFilas{"TodasLasClasesAntesQueLasTareasEnElOrdenDeSoluc",
                  {{"GUAR", "GUAR", "1", "2", "1A", "P1", "A1"},
                   {"LEN", "CLA", "1", "2", "2B", "P2", "A1"},
                   {"GUAR", "GUAR", "1", "1", "2B", "P1", "A1"},
                   {"MAT", "CLA", "1", "1", "1A", "P1", "A1"}},
                  {actividad("CLA", "P2", "2B", "LENGUA", "AULA-101", "L", "08:55", "09:50"),
                   actividad("CLA", "P1", "1A", "MATEMATICA", "AULA-101", "L", "08:00", "08:55"),
                   actividad("GUAR", "P1", "1A", "", "AULA-101", "L", "08:55", "09:50"),
                   actividad("GUAR", "P1", "2B", "", "AULA-101", "L", "08:00", "08:55")}},
        CasoFilas{"DiaOHoraCeroNoDanNada",
                  {{"MAT", "CLA", "0", "1", "1A", "P1", "A1"},
                   {"MAT", "CLA", "1", "0", "1A", "P1", "A1"},
                   {"GUAR", "GUAR", "0", "1", "1A", "P1", "A1"},
                   {"GUAR", "GUAR", "1", "0", "1A", "P1", "A1"}},
                  {}},
        CasoFilas{"AsigDistintaSoloEnMayusculasEsClase",
                  {{"GUAR", "guar", "1", "1", "1A", "P1", "A1"}},
                  {actividad("guar", "P1", "1A", "GUARDIA", "AULA-101", "L", "08:00", "08:55")}},
        CasoFilas{"GrupoDesconocidoQuitaLaClasePeroNoLaTarea",
                  {{"MAT", "CLA", "1", "1", "9Z", "P1", "A1"},
                   {"GUAR", "GUAR", "1", "1", "9Z", "P1", "A1"}},
                  {actividad("GUAR", "P1", "9Z", "", "AULA-101", "L", "08:00", "08:55")}},
        CasoFilas{"MateriaDesconocidaQuitaClaseYTarea",
                  {{"XXX", "CLA", "1", "1", "1A", "P1", "A1"},
                   {"OTRA", "OTRA", "1", "1", "1A", "P1", "A1"}},
                  {}},
        CasoFilas{"ProfesorOAulaDesconocidosQuedanVaciosSinArrastre",
                  {{"MAT", "CLA", "1", "1", "1A", "P1", "A1"},
                   {"MAT", "CLA", "1", "2", "1A", "PX", "AX"},
                   {"MAT", "CLA", "2", "5", "1A", "P2", ""},
                   {"GUAR", "GUAR", "1", "1", "1A", "", "A1"}},
                  {actividad("CLA", "P1", "1A", "MATEMATICA", "AULA-101", "L", "08:00", "08:55"),
                   actividad("CLA", "", "1A", "MATEMATICA", "", "L", "08:55", "09:50"),
                   actividad("CLA", "P2", "1A", "MATEMATICA", "", "M", "11:00", "11:55"),
                   actividad("GUAR", "", "1A", "", "AULA-101", "L", "08:00", "08:55")}},
        CasoFilas{"SesionSinFilaEnDiashorastNoDaNada",
                  {{"MAT", "CLA", "2", "1", "1A", "P1", "A1"},
                   {"GUAR", "GUAR", "1", "9", "1A", "P1", "A1"}},
                  {}},
        CasoFilas{"LetrasDeLosDias",
                  {{"MAT", "CLA", "3", "1", "1A", "P1", "A1"},
                   {"MAT", "CLA", "4", "1", "1A", "P1", "A1"},
                   {"MAT", "CLA", "5", "1", "1A", "P1", "A1"},
                   {"MAT", "CLA", "6", "1", "1A", "P1", "A1"},
                   {"MAT", "CLA", "7", "1", "1A", "P1", "A1"},
                   {"MAT", "CLA", "8", "1", "1A", "P1", "A1"}},
                  {actividad("CLA", "P1", "1A", "MATEMATICA", "AULA-101", "X", "08:00", "08:55"),
                   actividad("CLA", "P1", "1A", "MATEMATICA", "AULA-101", "J", "08:00", "08:55"),
                   actividad("CLA", "P1", "1A", "MATEMATICA", "AULA-101", "V", "08:00", "08:55"),
                   actividad("CLA", "P1", "1A", "MATEMATICA", "AULA-101", "S", "08:00", "08:55"),
                   actividad("CLA", "P1", "1A", "MATEMATICA", "AULA-101", "D", "08:00", "08:55"),
                   actividad("CLA", "P1", "1A", "MATEMATICA", "AULA-101", "", "08:00", "08:55")}},
        CasoFilas{"SinFilasCandidatas", {}, {}}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(Exportacion, SessionKeyComesFromTheTrimmedTexts) {
  MundoSolucion m;
  m.soluc({{"MAT", "CLA", " 2", "5 ", "1A", "P1", "A1"}});
  exportar(m);
  EXPECT_EQ(actividadesDe(leerArchivo(m.resultado)),
            std::vector<std::string>{
                actividad("CLA", "P1", "1A", "MATEMATICA", "AULA-101", "M", "11:00", "11:55")});
}

TEST(Exportacion, NoCandidateRowsStillWriteTheNewRootWithAnEmptyHorario) {
  MundoSolucion m("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- antes -->\n"
                  "<Centro Codigo=\" 28001 \" Nombre=\"IES Sierra\" CursoEscolar=\"2025/2026\" "
                  "Version=\"3\"><Grupos/></Centro>\n<!-- despues -->\n");
  m.soluc({{"MAT", "CLA", "0", "0", "1A", "P1", "A1"}});
  Informe informe = exportar(m);
  const std::string salida = leerArchivo(m.resultado);
  EXPECT_EQ(salida.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- antes -->\n"
                         "<!-- despues -->\n<Centro Codigo=\"28001\" Nombre=\"IES Sierra\" "
                         "CursoEscolar=\"2025/2026\" FechaExportacion=\"",
                         0),
            0u)
      << salida;
  EXPECT_NE(salida.find("\" Version=\"3\">\n  <horario/>\n" + kFinCentro), std::string::npos)
      << salida;
  EXPECT_EQ(filas(informe, "SOLUC leída"), 1);
  EXPECT_EQ(filas(informe, "actividad (clases)"), 0);
  EXPECT_EQ(filas(informe, "actividad (tareas)"), 0);
}

TEST(Exportacion, ReportNamesDroppedRowsAndEmptyCodes) {
  MundoSolucion m;
  m.soluc({{"MAT", "CLA", "1", "1", "1A", "P1", "A1"},     // 1 written
           {"MAT", "CLA", "0", "1", "1A", "P1", "A1"},     // 2 day 0
           {"MAT", "CLA", "1", "0", "1A", "P1", "A1"},     // 3 session 0
           {"MAT", "CLA", "1", "1", "9Z", "P1", "A1"},     // 4 group
           {"XXX", "CLA", "1", "1", "1A", "P1", "A1"},     // 5 subject
           {"MAT", "CLA", "2", "1", "1A", "PX", "AX"},     // 6 session not in the grid
           {"MAT", "CLA", "1", "2", "1A", "PX", "AX"},     // 7 written, empty teacher and room
           {"GUAR", "GUAR", "1", "1", "9Z", "", "A1"}});   // 8 task, no teacher
  Informe informe = exportar(m);
  EXPECT_EQ(filas(informe, "SOLUC leída"), 8);
  EXPECT_EQ(filas(informe, "actividad (clases)"), 2);
  EXPECT_EQ(filas(informe, "actividad (tareas)"), 1);

  struct Esperado {
    const char* tipo;
    int fila;
    const char* texto;
  };
  const Esperado esperados[] = {
      {"fila_descartada", 2, "DIA es 0"},
      {"fila_descartada", 3, "HORA es 0"},
      {"fila_descartada", 4, "grupo '9Z' no está en GRUPOST"},
      {"fila_descartada", 5, "materia 'XXX' no está en ASIGNOMT"},
      {"fila_descartada", 6, "sesión '21'"},
      {"profesor_vacio", 7, "profesor 'PX' no está en PROFT"},
      {"aula_vacia", 7, "aula 'AX' no está en AULAT"},
      {"profesor_vacio", 8, "no tiene código"},
  };
  for (const Esperado& e : esperados) {
    SCOPED_TRACE(std::string(e.tipo) + " " + std::to_string(e.fila));
    const Aviso* a = aviso(informe, e.tipo, e.fila);
    ASSERT_NE(a, nullptr) << informe.texto();
    EXPECT_NE(a->mensaje.find(e.texto), std::string::npos) << a->mensaje;
    EXPECT_NE(a->mensaje.find("Fila " + std::to_string(e.fila) + " de SOLUC"), std::string::npos);
  }
  // A dropped row says nothing about its teacher or room.
  EXPECT_EQ(aviso(informe, "profesor_vacio", 6), nullptr);
  const std::vector<std::string> tipos = tiposDeAviso(informe);
  EXPECT_EQ(std::count(tipos.begin(), tipos.end(), std::string("fila_descartada")), 5);
}

TEST(Exportacion, ComparesPlacedLessonsWithAsigt) {
  MundoSolucion m;
  // ASIGT asks 1A for 2 of MATE, 2 of LENG (1.5 rounded up) and none of FRAN, 2B for 1 of
  // MATE. Placed: 1A MATE 2 (matches), 1A LENG 1 (differs), 2B LENG 1 (no ASIGT row), 2B
  // MATE none, 1A FRAN none (consistent). Tasks are not counted.
  m.asigt({{"MATE", "M", "ESO", "1", "A", 2.0},
           {"LENG", "M", "ESO", "1", "A", 1.5},
           {"MATE", "M", "ESO", "2", "B", 1.0},
           {"FRAN", "M", "ESO", "1", "A", 0.0}});
  m.soluc({{"MAT", "CLA", "1", "1", "1A", "P1", "A1"},
           {"MAT", "CLA", "1", "2", "1A", "P1", "A1"},
           {"LEN", "CLA", "2", "5", "1A", "P1", "A1"},
           {"LEN", "CLA", "3", "1", "2B", "P1", "A1"},
           {"GUAR", "GUAR", "4", "1", "2B", "P1", "A1"}});
  Informe informe = exportar(m);
  std::vector<std::string> asigt;
  for (const auto& a : informe.avisos())
    if (a.tipo != "profesor_vacio" && a.tipo != "aula_vacia") asigt.push_back(a.tipo + ": " + a.mensaje);
  ASSERT_EQ(asigt.size(), 3u) << informe.texto();
  EXPECT_EQ(asigt[0],
            "asigt_distinta: Sesiones colocadas distintas de las de ASIGT (turno M, nivel ESO, "
            "curso 1, grupo A, materia LENG): 1 sesión colocada y ASIGT pide 2");
  EXPECT_EQ(asigt[1],
            "clases_sin_asigt: Clases sin fila en ASIGT (turno M, nivel ESO, curso 2, grupo B, "
            "materia LENG): 1 sesión colocada, la primera en la fila 4 de SOLUC");
  EXPECT_EQ(asigt[2],
            "asigt_sin_clases: ASIGT pide 1 sesión (turno M, nivel ESO, curso 2, grupo B, "
            "materia MATE, fila 3 de ASIGT) y no hay ninguna colocada");
}

TEST(Exportacion, AsigtThatCannotBeReadOnlyLosesTheCheck) {
  MundoSolucion m;
  DbfTable::create(m.trabajo, "ASIGT", {{"OTRO", FieldType::Text, 4}});
  {
    DbfTable t = DbfTable::open(m.trabajo, "ASIGT", Access::Shared);
    t.append();
    t.setText("OTRO", "x");
    t.post();
    t.close();
  }
  m.soluc({{"MAT", "CLA", "1", "1", "1A", "P1", "A1"}});
  Informe informe = exportar(m);
  EXPECT_EQ(tiposDeAviso(informe), std::vector<std::string>{"asigt_sin_comprobar"});
  EXPECT_EQ(actividadesDe(leerArchivo(m.resultado)).size(), 1u);
}

// SOLUC tables as other programs write them, byte by byte.
struct CampoCrudo {
  const char* nombre;
  char tipo;
  int ancho;
  int decimales;
};

void le16(std::string& b, std::size_t off, std::uint16_t v) {
  b[off] = static_cast<char>(v & 0xFF);
  b[off + 1] = static_cast<char>(v >> 8);
}
void le32(std::string& b, std::size_t off, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[off + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A dBase IV (version 0x03, 32-byte descriptors) or dBase 7 (version 0x04, 68-byte header,
// 48-byte descriptors, driver DBWINUS0) file; each record starts with its deletion flag.
std::string tablaCruda(bool nivel7, const std::vector<CampoCrudo>& campos,
                       const std::vector<std::string>& registros) {
  const std::size_t cabecera = nivel7 ? 68 : 32;
  const std::size_t descriptor = nivel7 ? 48 : 32;
  std::size_t registro = 1;
  for (const auto& c : campos) registro += static_cast<std::size_t>(c.ancho);
  std::string b(cabecera, '\0');
  b[0] = nivel7 ? 0x04 : 0x03;
  b[1] = 126;  // 2026-12-11
  b[2] = 12;
  b[3] = 11;
  le32(b, 4, static_cast<std::uint32_t>(registros.size()));
  le16(b, 8, static_cast<std::uint16_t>(cabecera + descriptor * campos.size() + 1));
  le16(b, 10, static_cast<std::uint16_t>(registro));
  if (nivel7) std::memcpy(&b[32], "DBWINUS0", 8);
  for (const auto& c : campos) {
    std::string d(descriptor, '\0');
    std::memcpy(d.data(), c.nombre, std::strlen(c.nombre));
    d[nivel7 ? 32 : 11] = c.tipo;
    d[nivel7 ? 33 : 16] = static_cast<char>(c.ancho);
    d[nivel7 ? 34 : 17] = static_cast<char>(c.decimales);
    b += d;
  }
  b += '\x0D';
  for (const auto& r : registros) {
    EXPECT_EQ(r.size(), registro);
    b += r;
  }
  b += '\x1A';
  return b;
}

std::string texto(const std::string& v, int ancho) { return v + std::string(ancho - v.size(), ' '); }
std::string derecha(const std::string& v, int ancho) { return std::string(ancho - v.size(), ' ') + v; }
// I: big-endian, value XOR 0x80000000.
std::string entero7(std::int32_t v) {
  const std::uint32_t u = static_cast<std::uint32_t>(v) ^ 0x80000000u;
  return {static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
          static_cast<char>(u)};
}
// O: big-endian double, sign bit set for values >= 0, every bit inverted for negatives.
std::string doble7(double v) {
  std::uint64_t u = std::bit_cast<std::uint64_t>(v);
  u = v >= 0 ? u ^ 0x8000000000000000ull : ~u;
  std::string s(8, '\0');
  for (int i = 0; i < 8; ++i) s[i] = static_cast<char>(u >> (56 - 8 * i));
  return s;
}

TEST(SolucDeOtroPrograma, LevelFourWithNumericFields) {
  MundoSolucion m;
  // A field the run does not read sits between the ones it does; record 2 is deleted.
  const std::vector<CampoCrudo> campos = {{"ASIG", 'C', 4, 0},  {"TAREA", 'C', 4, 0},
                                          {"SEMANA", 'N', 2, 0}, {"DIA", 'N', 2, 0},
                                          {"HORA", 'N', 4, 1},  {"CODGRUPO", 'C', 4, 0},
                                          {"PROF", 'C', 4, 0},  {"AULA", 'C', 4, 0}};
  auto fila = [](char flag, const char* asig, const char* tarea, const char* dia,
                 const char* hora, const char* grupo) {
    return std::string(1, flag) + texto(asig, 4) + texto(tarea, 4) + derecha("1", 2) +
           derecha(dia, 2) + derecha(hora, 4) + texto(grupo, 4) + texto("P1", 4) +
           texto("A1", 4);
  };
  escribirArchivo(m.trabajo / "SOLUC.DBF",
                  tablaCruda(false, campos,
                             {fila(' ', "MAT", "CLA", "2", "5.0", "1A"),
                              fila('*', "LEN", "CLA", "1", "1.0", "1A"),
                              fila(' ', "GUAR", "GUAR", "1", "2.0", "2B"),
                              fila(' ', "MAT", "CLA", "0", "1.0", "1A")}));
  Informe informe = exportar(m);
  EXPECT_EQ(actividadesDe(leerArchivo(m.resultado)),
            (std::vector<std::string>{
                actividad("CLA", "P1", "1A", "MATEMATICA", "AULA-101", "M", "11:00", "11:55"),
                actividad("GUAR", "P1", "2B", "", "AULA-101", "L", "08:55", "09:50")}));
  EXPECT_EQ(filas(informe, "SOLUC leída"), 3);
  EXPECT_NE(aviso(informe, "fila_descartada", 4), nullptr) << informe.texto();  // physical row
}

TEST(SolucDeOtroPrograma, LevelSevenWithIntegerAndDoubleFields) {
  MundoSolucion m;
  const std::vector<CampoCrudo> campos = {{"ASIG", 'C', 4, 0},     {"TAREA", 'C', 4, 0},
                                          {"DIA", 'I', 4, 0},      {"HORA", 'O', 8, 0},
                                          {"CODGRUPO", 'C', 4, 0}, {"PROF", 'C', 4, 0},
                                          {"AULA", 'C', 4, 0}};
  auto fila = [](const char* asig, const char* tarea, std::int32_t dia, double hora) {
    return std::string(" ") + texto(asig, 4) + texto(tarea, 4) + entero7(dia) + doble7(hora) +
           texto("1A", 4) + texto("P2", 4) + texto("A1", 4);
  };
  escribirArchivo(m.trabajo / "SOLUC.DBF",
                  tablaCruda(true, campos,
                             {fila("MAT", "CLA", 2, 5.0), fila("GUAR", "GUAR", 1, 1.0),
                              fila("LEN", "CLA", 1, 0.0), fila("LEN", "CLA", 1, 2.0)}));
  exportar(m);
  EXPECT_EQ(actividadesDe(leerArchivo(m.resultado)),
            (std::vector<std::string>{
                actividad("CLA", "P2", "1A", "MATEMATICA", "AULA-101", "M", "11:00", "11:55"),
                actividad("CLA", "P2", "1A", "LENGUA", "AULA-101", "L", "08:55", "09:50"),
                actividad("GUAR", "P2", "1A", "", "AULA-101", "L", "08:00", "08:55")}));
}

// The run's frame.
TEST(Exportacion, ReplacesAnExistingOutput) {
  MundoSolucion m;
  m.soluc({{"MAT", "CLA", "1", "1", "1A", "P1", "A1"}});
  escribirArchivo(m.resultado, "resultado anterior");
  exportar(m);
  const std::string salida = leerArchivo(m.resultado);
  EXPECT_EQ(actividadesDe(salida).size(), 1u);
  EXPECT_EQ(salida.substr(salida.size() - kFinCentro.size()), kFinCentro);
}

TEST(Exportacion, AnErrorSavesNothingAndClosesEveryTable) {
  struct Caso {
    const char* nombre;
    const char* documento;  // nullptr: the default one
    const char* tablaQueFalta;
    std::string solucDia;
    const char* enElMensaje;
  };
  const Caso casos[] = {
      {"documento mal formado", "<Centro Codigo=\"1\"", nullptr, "1", "no es válido"},
      {"raíz que no es Centro",
       "<Escuela Codigo=\"1\" Nombre=\"x\" CursoEscolar=\"x\" Version=\"1\"/>", nullptr, "1",
       "Centro"},
      {"raíz sin Version", "<Centro Codigo=\"1\" Nombre=\"x\" CursoEscolar=\"x\"/>", nullptr,
       "1", "atributo Version"},
      // Tables open in the run's order: the first one missing is the one named.
      {"faltan GRUPOST y AULAT", nullptr, "GRUPOST", "1", "GRUPOST"},
      {"falta ASIGT", nullptr, "ASIGT", "1", "ASIGT"},
      {"DIA que no es un número", nullptr, nullptr, "X", "DIA"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    MundoSolucion m(c.documento ? c.documento : kCentroPorDefecto);
    m.soluc({{"MAT", "CLA", c.solucDia, "1", "1A", "P1", "A1"}});
    if (c.tablaQueFalta) fs::remove(m.trabajo / (std::string(c.tablaQueFalta) + ".DBF"));
    if (c.tablaQueFalta && c.tablaQueFalta == std::string("GRUPOST")) fs::remove(m.trabajo / "AULAT.DBF");
    escribirArchivo(m.resultado, "resultado anterior");
    try {
      exportar(m);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.enElMensaje), std::string::npos) << e.what();
      EXPECT_EQ(std::string(e.what()).find("AULAT"), std::string::npos) << e.what();
    }
    EXPECT_EQ(leerArchivo(m.resultado), "resultado anterior");
    EXPECT_EQ(std::distance(fs::directory_iterator(m.datos), fs::directory_iterator()), 2);
    EXPECT_TRUE(m.tablasCerradas());
  }
}

TEST(Exportacion, ATableHeldByAnotherStopsTheRun) {
  MundoSolucion m;
  m.soluc({{"MAT", "CLA", "1", "1", "1A", "P1", "A1"}});
  {
    DbfTable otro = DbfTable::open(m.trabajo, "PROFT", Access::Shared);
    EXPECT_THROW(exportar(m), ErrorEnUso);
  }
  EXPECT_FALSE(fs::exists(m.resultado));
  EXPECT_TRUE(m.tablasCerradas());
}

TEST(Exportacion, AFailedSaveLeavesTheOldOutputAndNoTemporaryFile) {
  for (int fallo : {1, 2}) {  // writing the temporary file, renaming it
    SCOPED_TRACE(fallo);
    MundoSolucion m;
    m.soluc({{"MAT", "CLA", "1", "1", "1A", "P1", "A1"}});
    escribirArchivo(m.resultado, "resultado anterior");
    ArchivosFallidos archivos(fallo);
    EXPECT_THROW(exportar(m, archivos), ErrorArchivo);
    EXPECT_TRUE(archivos.fallo());
    EXPECT_EQ(leerArchivo(m.resultado), "resultado anterior");
    EXPECT_EQ(std::distance(fs::directory_iterator(m.datos), fs::directory_iterator()), 2);
    EXPECT_TRUE(m.tablasCerradas());
  }
}

TEST(Exportacion, OutputPathAndInput) {
  EXPECT_EQ(rutaResultado("/datos/centro.xml"), fs::path("/datos/ResultadoOrvantcentro.xml"));
  EXPECT_EQ(rutaResultado("centro.xml"), fs::path("ResultadoOrvantcentro.xml"));

  MundoSolucion m;
  EXPECT_FALSE(existeEntradaSolucion(m.xml, m.trabajo));  // no SOLUC yet
  escribirArchivo(m.trabajo / "soluc.dbf", "");  // as a host on a case-sensitive system names it
  EXPECT_TRUE(existeEntradaSolucion(m.xml, m.trabajo));
  EXPECT_FALSE(existeEntradaSolucion(m.datos / "otro.xml", m.trabajo));
  EXPECT_FALSE(existeEntradaSolucion("", m.trabajo));
}

}  // namespace
