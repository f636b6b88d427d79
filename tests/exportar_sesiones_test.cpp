// The session grid: the template entry and its times, the rows of DIASHORAST in time
// order, the COUNTSES tally in order of first occurrence, and the session lengths.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/errores.h"
#include "apoyo/entorno_generador.h"
#include "centre_to_timetable/generadores.h"
#include "centre_to_timetable/plantilla_sesion.h"
#include "formats/tabla_dbase.h"

namespace fs = std::filesystem;
using namespace tov;
using namespace tov::prueba;

namespace {

// ---- The template entry ----

TEST(PlantillaSesion, TimesAreNormalisedOrRefused) {
  struct Caso {
    const char* hora;
    std::optional<std::string> normal;
  };
  for (const Caso& c : std::vector<Caso>{{"08:00", "08:00"},
                                         {"8:05", "08:05"},
                                         {"08:00:59", "08:00"},
                                         {"25:99", "25:99"},  // digits are not range-checked
                                         {"", {}},
                                         {"8", {}},
                                         {"0800", {}},
                                         {"08.00", {}},
                                         {"8:0", {}},
                                         {"08:000", {}},
                                         {"08:00:3", {}},
                                         {"08:00:00:00", {}},
                                         {"1:2:3", {}},
                                         {"a8:00", {}},
                                         {"108:00", {}}}) {
    SCOPED_TRACE(c.hora);
    EXPECT_EQ(normalizarHora(c.hora), c.normal);
  }
}

TEST(PlantillaSesion, EntryHasItsFieldsAtFixedPositions) {
  const std::string e = entradaPlantilla(1, "08:00", "08:55");
  EXPECT_EQ(e, "108:0008:55 08:00-08:55");
  EXPECT_EQ(e.size(), 23u);
  Periodo p = leerEntrada(e);
  EXPECT_EQ(p.dia, 1);
  EXPECT_EQ(p.inicio, "08:00");
  EXPECT_EQ(p.fin, "08:55");
  EXPECT_EQ(p.texto, "08:00-08:55");
  EXPECT_EQ(p.minutos, 55);
  EXPECT_EQ(leerEntrada(entradaPlantilla(7, "23:30", "01:00")).minutos, 60 - 23 * 60 - 30);
}

TEST(PlantillaSesion, ListStaysSortedByDayStartEnd) {
  std::vector<std::string> lista;
  for (auto [d, i, f] : std::vector<std::tuple<int, const char*, const char*>>{
           {2, "08:00", "08:55"}, {1, "09:00", "09:55"}, {1, "08:00", "09:00"},
           {1, "08:00", "08:55"}, {1, "09:00", "09:55"}})
    anadirEntrada(lista, entradaPlantilla(d, i, f));
  EXPECT_EQ(lista, (std::vector<std::string>{
                       "108:0008:55 08:00-08:55", "108:0009:00 08:00-09:00",
                       "109:0009:55 09:00-09:55", "109:0009:55 09:00-09:55",
                       "208:0008:55 08:00-08:55"}));
}

// ---- The builder ----

std::string sesion(const std::string& dia, const std::string& inicio, const std::string& fin) {
  return "<Sesion Dia=\"" + dia + "\" HoraInicio=\"" + inicio + "\" HoraFin=\"" + fin + "\"/>\n";
}

// Monday periods back to back from 08:00 with these lengths.
std::string lunes(const std::vector<int>& duraciones) {
  std::string xml;
  int t = 8 * 60;
  auto hhmm = [](int m) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d:%02d", m / 60, m % 60);
    return std::string(b);
  };
  for (int d : duraciones) {
    xml += sesion("L", hhmm(t), hhmm(t + d));
    t += d;
  }
  return xml;
}

struct FilaDias {
  std::string diho, dia, textodia, hora, textohor, desde, hasta, minutos;
  bool operator==(const FilaDias&) const = default;
};
void PrintTo(const FilaDias& f, std::ostream* os) {
  *os << "{" << f.diho << " " << f.dia << " " << f.textodia << " " << f.hora << " " << f.textohor
      << " " << f.desde << " " << f.hasta << " " << f.minutos << "}";
}

struct Cuenta {
  std::string duracion;
  long long nses;
  bool operator==(const Cuenta&) const = default;
};
void PrintTo(const Cuenta& c, std::ostream* os) { *os << "{" << c.duracion << " x" << c.nses << "}"; }

std::vector<FilaDias> leerDias(const fs::path& carpeta) {
  DbfTable t = DbfTable::open(carpeta, "DIASHORAST", Access::Shared);
  std::vector<FilaDias> filas;
  for (t.first(); !t.eof(); t.next()) {
    filas.push_back({t.text("DIHO"), t.text("DIA"), t.text("TEXTODIA"), t.text("HORA"),
                     t.text("TEXTOHOR"), t.text("HORADESDE"), t.text("HORAHASTA"),
                     t.text("MINUTOS")});
    // Never written by this builder.
    EXPECT_EQ(t.text("CODDIHO"), "");
    EXPECT_EQ(t.text("SESION_ORDEN"), "");
    EXPECT_EQ(t.text("PLANTILLA"), "");
  }
  return filas;
}

std::vector<Cuenta> leerCuentas(const fs::path& carpeta) {
  DbfTable t = DbfTable::open(carpeta, "COUNTSES", Access::Shared);
  std::vector<Cuenta> filas;
  for (t.first(); !t.eof(); t.next()) filas.push_back({t.text("DURACION"), t.integer("NSES")});
  return filas;
}

FilaDias fila(std::string diho, int dia, std::string desde, std::string hasta, int minutos) {
  static const char* nombres[] = {"", "Lunes", "Martes", "Mi\xE9rcoles", "Jueves",
                                  "Viernes", "S\xE1" "bado", "Domingo"};
  std::string d = std::to_string(dia);
  return {diho,  d,     nombres[dia], diho.substr(d.size()), desde + "-" + hasta,
          desde, hasta, std::to_string(minutos)};
}

struct CasoRejilla {
  const char* nombre;
  std::string sesiones;  // the Sesion elements
  std::vector<FilaDias> dias;
  std::vector<Cuenta> cuentas;
  std::array<int, 3> duraciones;
};
void PrintTo(const CasoRejilla& c, std::ostream* os) { *os << c.nombre; }

std::vector<FilaDias> diezLunes() {
  std::vector<FilaDias> f;
  for (int i = 0; i < 10; ++i) {
    char a[16], b[16];
    std::snprintf(a, sizeof a, "%02d:00", 8 + i);
    std::snprintf(b, sizeof b, "%02d:55", 8 + i);
    f.push_back(fila("1" + std::to_string(i + 1), 1, a, b, 55));
  }
  return f;
}

class Rejilla : public testing::TestWithParam<CasoRejilla> {};

TEST_P(Rejilla, WritesRowsTallyAndLengths) {
  const CasoRejilla& c = GetParam();
  EntornoGenerador e("<Sesiones>\n" + c.sesiones + "</Sesiones>");
  e.ctx.Duracion1 = e.ctx.Duracion2 = e.ctx.Duracion3 = 99;  // left from an earlier run
  GenerarSesiones(e.ctx);
  EXPECT_EQ(leerDias(e.carpeta.ruta()), c.dias);
  EXPECT_EQ(leerCuentas(e.carpeta.ruta()), c.cuentas);
  EXPECT_EQ((std::array<int, 3>{e.ctx.Duracion1, e.ctx.Duracion2, e.ctx.Duracion3}),
            c.duraciones);
  EXPECT_EQ(e.ctx.ListBoxPlanti.size(), c.dias.size());
  EXPECT_TRUE(fs::exists(e.carpeta / "COUNTSES.MDX"));
  EXPECT_FALSE(fs::exists(e.carpeta / "DIASHORAST.MDX"));
  EXPECT_EQ(e.informe.tablas(),
            (std::vector<std::pair<std::string, long>>{{"DIASHORAST", long(c.dias.size())},
                                                       {"COUNTSES", long(c.cuentas.size())}}));
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Rejilla,
    testing::Values(
        CasoRejilla{"OutOfOrderPeriodsAreNumberedInTimeOrder",
                    sesion("L", "09:00", "09:55") + sesion("L", "08:00", "08:55") +
                        sesion("M", "08:00", "08:55"),
                    {fila("11", 1, "08:00", "08:55", 55), fila("12", 1, "09:00", "09:55", 55),
                     fila("21", 2, "08:00", "08:55", 55)},
                    {{"55", 3}},
                    {55, 0, 0}},
        CasoRejilla{"DuplicatesGetConsecutiveOrdinals",
                    sesion("V", "10:00", "11:00") + sesion("V", "10:00", "11:00"),
                    {fila("51", 5, "10:00", "11:00", 60), fila("52", 5, "10:00", "11:00", 60)},
                    {{"60", 2}},
                    {60, 0, 0}},
        CasoRejilla{"OnlyTheFirstLetterOfDiaCounts",
                    sesion("Mi\xC3\xA9rcoles", "08:00", "08:55") + sesion("X", "08:00", "08:55") +
                        sesion("Domingo", "08:00", "08:55") + sesion("J", "08:00", "08:55") +
                        sesion("S", "08:00", "08:55"),
                    {fila("21", 2, "08:00", "08:55", 55), fila("31", 3, "08:00", "08:55", 55),
                     fila("41", 4, "08:00", "08:55", 55), fila("61", 6, "08:00", "08:55", 55),
                     fila("71", 7, "08:00", "08:55", 55)},
                    {{"55", 5}},
                    {55, 0, 0}},
        CasoRejilla{"LengthsInOrderOfFirstOccurrence", lunes({55, 55, 30, 55, 60}),
                    {fila("11", 1, "08:00", "08:55", 55), fila("12", 1, "08:55", "09:50", 55),
                     fila("13", 1, "09:50", "10:20", 30), fila("14", 1, "10:20", "11:15", 55),
                     fila("15", 1, "11:15", "12:15", 60)},
                    {{"55", 3}, {"30", 1}, {"60", 1}},
                    {55, 30, 60}},
        CasoRejilla{"OnlyThreeLengthsAreKept", lunes({50, 40, 30, 20}),
                    {fila("11", 1, "08:00", "08:50", 50), fila("12", 1, "08:50", "09:30", 40),
                     fila("13", 1, "09:30", "10:00", 30), fila("14", 1, "10:00", "10:20", 20)},
                    {{"50", 1}, {"40", 1}, {"30", 1}, {"20", 1}},
                    {50, 40, 30}},
        CasoRejilla{"AllOfOneLength", lunes({55, 55}),
                    {fila("11", 1, "08:00", "08:55", 55), fila("12", 1, "08:55", "09:50", 55)},
                    {{"55", 2}},
                    {55, 0, 0}},
        CasoRejilla{"ZeroAndNegativeLengthsAreTallied",
                    sesion("L", "08:00", "08:00") + sesion("L", "10:00", "09:00") +
                        sesion("M", "12:00", "12:00"),
                    {fila("11", 1, "08:00", "08:00", 0), fila("12", 1, "10:00", "09:00", -60),
                     fila("21", 2, "12:00", "12:00", 0)},
                    {{"0", 2}, {"-60", 1}},
                    {0, -60, 0}},
        CasoRejilla{"OneSessionIsRead", sesion("J", "08:00", "09:00"),
                    {fila("41", 4, "08:00", "09:00", 60)},
                    {{"60", 1}},
                    {60, 0, 0}},
        CasoRejilla{"NoSessions", "", {}, {}, {0, 0, 0}},
        CasoRejilla{"ShortAndLongTimesAreNormalised",
                    sesion("L", "8:00", "08:55:30") + sesion("L", "08:55:00", "9:50"),
                    {fila("11", 1, "08:00", "08:55", 55), fila("12", 1, "08:55", "09:50", 55)},
                    {{"55", 2}},
                    {55, 0, 0}},
        CasoRejilla{"BlankOrUnknownDaysArePassedOverWithoutReadingTimes",
                    sesion("", "08:00", "08:55") + sesion(" \t", "x", "") +
                        sesion("lunes", "x", "") + sesion("Q", "", "") +
                        "<Sesion HoraInicio=\"08:00\" HoraFin=\"08:55\"/>\n" +
                        sesion("L", "08:00", "08:55"),
                    {fila("11", 1, "08:00", "08:55", 55)},
                    {{"55", 1}},
                    {55, 0, 0}}),
    [](const testing::TestParamInfo<CasoRejilla>& i) { return std::string(i.param.nombre); });

TEST(RejillaDiez, TenthPeriodHasDihoOneTen) {
  std::string xml;
  for (int i = 9; i >= 0; --i) {  // listed backwards, numbered forwards
    char a[16], b[16];
    std::snprintf(a, sizeof a, "%02d:00", 8 + i);
    std::snprintf(b, sizeof b, "%02d:55", 8 + i);
    xml += sesion("L", a, b);
  }
  EntornoGenerador e("<Sesiones>\n" + xml + "</Sesiones>");
  GenerarSesiones(e.ctx);
  std::vector<FilaDias> dias = leerDias(e.carpeta.ruta());
  EXPECT_EQ(dias, diezLunes());
  ASSERT_EQ(dias.size(), 10u);
  EXPECT_EQ(dias[9].diho, "110");
  EXPECT_EQ(dias[9].hora, "10");
}

TEST(RejillaInforme, NamesPassedOverSessionsAndShortLengthsWithTheirLines) {
  EntornoGenerador e("<Sesiones>\n" +                     // line 3
                     sesion("", "08:00", "08:55") +       // line 4
                     sesion("lunes", "08:00", "08:55") +  // line 5
                     sesion("L", "08:00", "08:00") +      // line 6
                     sesion("L", "09:00", "08:30") +      // line 7
                     sesion("L", "10:00", "10:55") +      // line 8
                     "</Sesiones>");
  GenerarSesiones(e.ctx);
  const auto& avisos = e.informe.avisos();
  ASSERT_EQ(avisos.size(), 4u);
  EXPECT_EQ(avisos[0].tipo, "sesion_omitida");
  EXPECT_EQ(avisos[0].linea, 4);
  EXPECT_EQ(avisos[1].tipo, "sesion_omitida");
  EXPECT_EQ(avisos[1].linea, 5);
  EXPECT_NE(avisos[1].mensaje.find("'lunes'"), std::string::npos) << avisos[1].mensaje;
  EXPECT_EQ(avisos[2].tipo, "duracion_no_positiva");
  EXPECT_EQ(avisos[2].linea, 6);
  EXPECT_NE(avisos[2].mensaje.find("0 minutos"), std::string::npos) << avisos[2].mensaje;
  EXPECT_EQ(avisos[3].tipo, "duracion_no_positiva");
  EXPECT_EQ(avisos[3].linea, 7);
  EXPECT_NE(avisos[3].mensaje.find("-30 minutos"), std::string::npos) << avisos[3].mensaje;
}

struct HoraMala {
  std::string sesion;
  std::string mensaje;
};
void PrintTo(const HoraMala& h, std::ostream* os) { *os << h.sesion; }

class RejillaHoraMala : public testing::TestWithParam<HoraMala> {};

TEST_P(RejillaHoraMala, StopsNamingTheLineAndTheText) {
  // The bad element is on line 5, after a good one.
  EntornoGenerador e("<Sesiones>\n" + sesion("L", "08:00", "08:55") + GetParam().sesion +
                     "</Sesiones>");
  try {
    GenerarSesiones(e.ctx);
    FAIL() << "no error";
  } catch (const ErrorDatos& err) {
    EXPECT_EQ(std::string(err.what()), GetParam().mensaje);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Casos, RejillaHoraMala,
    testing::Values(
        HoraMala{sesion("M", "", "08:55"), "Hora no válida en la sesión de la línea 5: ''"},
        HoraMala{sesion("M", "08:00", ""), "Hora no válida en la sesión de la línea 5: ''"},
        HoraMala{"<Sesion Dia=\"M\" HoraInicio=\"08:00\"/>\n",
                 "Hora no válida en la sesión de la línea 5: ''"},
        HoraMala{sesion("M", " 8h ", "09:00"), "Hora no válida en la sesión de la línea 5: '8h'"},
        HoraMala{sesion("M", "08:00", "08:00:00:00"),
                 "Hora no válida en la sesión de la línea 5: '08:00:00:00'"},
        HoraMala{sesion("M", "08:00", "\xE2\x82\xAC" "8:00"),
                 "Hora no válida en la sesión de la línea 5: '\xE2\x82\xAC" "8:00'"}));

TEST(RejillaSegundaVuelta, StartsFromAnEmptyTemplateAndFreshTables) {
  EntornoGenerador primera("<Sesiones>\n" + lunes({55, 55, 30}) + "</Sesiones>");
  GenerarSesiones(primera.ctx);
  // Leftovers of another program: an index file the grid table must not keep.
  escribirArchivo(primera.carpeta / "DIASHORAST.MDX", "indice viejo");

  EntornoGenerador segunda("<Sesiones>\n" + sesion("X", "12:00", "12:30") + "</Sesiones>");
  Contexto ctx{segunda.doc,        primera.carpeta.ruta(), segunda.codigos,
               segunda.nombres,    primera.plantillas,     segunda.informe,
               segunda.ctx.archivos};
  GenerarSesiones(ctx);
  EXPECT_EQ(leerDias(primera.carpeta.ruta()),
            (std::vector<FilaDias>{fila("31", 3, "12:00", "12:30", 30)}));
  EXPECT_EQ(leerCuentas(primera.carpeta.ruta()), (std::vector<Cuenta>{{"30", 1}}));
  EXPECT_EQ(primera.plantillas, (std::vector<std::string>{"312:0012:30 12:00-12:30"}));
  EXPECT_EQ(ctx.Duracion1, 30);
  EXPECT_EQ(ctx.Duracion2, 0);
  EXPECT_FALSE(fs::exists(primera.carpeta / "DIASHORAST.MDX"));
}

}  // namespace
