// Weekly hours into sessions: the Horas grammar, the float arithmetic of the load and the
// session string, checked against hand-worked rows.
#include "centre_to_timetable/carga_horaria.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cmath>
#include <string>
#include <vector>

using namespace tov;

namespace {

using Duraciones = std::array<int, 3>;

struct Ejemplo {
  const char* horas;
  std::vector<Duraciones> duraciones;  // several rows when the lengths do not matter
  std::optional<float> minutos;        // none: whole hours, no minutes worked out
  float carga;
  bool redondeada;
  std::string sesiones;
};

const std::vector<Duraciones> kCualquiera = {{0, 0, 0}, {45, 0, 0}, {55, 60, 30}, {50, 55, 60}};
const std::string k13(13, '1');

void PrintTo(const Ejemplo& e, std::ostream* os) { *os << "Horas " << e.horas; }

class CargaEjemplos : public testing::TestWithParam<Ejemplo> {};

TEST_P(CargaEjemplos, GivesTheLoadAndSessionString) {
  const Ejemplo& e = GetParam();
  for (const Duraciones& d : e.duraciones) {
    SCOPED_TRACE(testing::Message() << "duraciones " << d[0] << ", " << d[1] << ", " << d[2]);
    ASSERT_TRUE(leerHoras(e.horas));
    Carga c = calcularCarga(e.horas, d[0], d[1], d[2]);
    EXPECT_EQ(c.minutos, e.minutos);
    EXPECT_EQ(c.sesiones, e.carga);
    EXPECT_EQ(c.redondeada, e.redondeada);
    EXPECT_EQ(cadenaSesiones(c.sesiones), e.sesiones);
  }
}

// The hand-worked table of loads, row for row.
INSTANTIATE_TEST_SUITE_P(
    Tabla, CargaEjemplos,
    testing::Values(
        Ejemplo{"00,00", kCualquiera, std::nullopt, 1, false, "1"},
        Ejemplo{"03,00", kCualquiera, std::nullopt, 3, false, "111"},
        Ejemplo{"3,00", {{45, 0, 0}}, 180, 4, false, "1111"},
        Ejemplo{"3,00", {{55, 0, 0}}, 180, 3, true, "111"},
        Ejemplo{"02,50", {{50, 0, 0}}, 150, 3, false, "111"},
        Ejemplo{"02,50", {{55, 60, 30}}, 150, 5, false, "11111"},
        Ejemplo{"02,50", {{55, 60, 45}}, 150, 3, true, "111"},
        Ejemplo{"01,50", {{0, 0, 0}}, 90, 2, true, "11"},
        Ejemplo{"00,50", {{55, 60, 30}}, 30, 1, false, "1"},
        Ejemplo{"0,00", {{55, 0, 0}}, 0, 0, false, ""},
        Ejemplo{"14,00", kCualquiera, std::nullopt, 14, false, std::string(14, '1')},
        Ejemplo{"20,00", kCualquiera, std::nullopt, 20, false, "7" + k13},
        Ejemplo{"30,00", kCualquiera, std::nullopt, 30, false, "17" + k13}));

// Rules around the table: where the tries stop, the 4th-5th character test on the text as
// written, the point as separator, signs.
INSTANTIATE_TEST_SUITE_P(
    Bordes, CargaEjemplos,
    testing::Values(
        // A zero length ends the tries even when a later one would divide.
        Ejemplo{"3,00", {{0, 45, 0}}, 180, 3, true, "111"},
        Ejemplo{"3,00", {{55, 0, 45}}, 180, 3, true, "111"},
        // The third length is tried when the first two are not zero.
        Ejemplo{"3,00", {{55, 50, 45}}, 180, 4, false, "1111"},
        // "00" at the 4th and 5th characters is whole hours even after a point or a decimal.
        Ejemplo{"03.00", {{45, 0, 0}}, std::nullopt, 3, false, "111"},
        Ejemplo{"3,5000", {{30, 0, 0}}, std::nullopt, 3.5f, false, "1111"},
        Ejemplo{"+3,00", {{45, 0, 0}}, std::nullopt, 3, false, "111"},
        // Short texts never take the whole-hours path.
        Ejemplo{"3", {{45, 0, 0}}, 180, 4, false, "1111"},
        Ejemplo{"3.00", {{45, 0, 0}}, 180, 4, false, "1111"},
        Ejemplo{",5", {{30, 0, 0}}, 30, 1, false, "1"},
        // Only "00,00" is read as one hour.
        Ejemplo{"0,00", {{0, 0, 0}}, 0, 0, true, ""},
        Ejemplo{"00.00", {{55, 0, 0}}, std::nullopt, 0, false, ""},
        // Hours whose minutes are not whole in float: 2,33 h is 139.8 min, never divisible.
        Ejemplo{"2,33", {{1, 0, 0}}, 2.33f * 60.0f, 3, true, "111"},
        // A negative load writes its number and an empty session string.
        Ejemplo{"-2,50", {{50, 0, 0}}, -150, -3, false, ""},
        Ejemplo{"-0,00", {{55, 0, 0}}, std::nullopt, 0, false, ""},
        // Past thirteen sessions the excess goes first.
        Ejemplo{"13,00", {{55, 0, 0}}, std::nullopt, 13, false, k13},
        Ejemplo{"12,50", {{30, 0, 0}}, 750, 25, false, "12" + k13}));

TEST(CargaHoraria, NegativeZeroIsWrittenAsZero) {
  Carga c = calcularCarga("-0,00", 55, 0, 0);
  EXPECT_FALSE(std::signbit(c.sesiones));
}

TEST(CargaHoraria, SessionStringRoundsUp) {
  struct Caso {
    float carga;
    std::string cadena;
  };
  for (const Caso& c : std::vector<Caso>{{0.0f, ""},
                                         {-0.5f, ""},
                                         {0.01f, "1"},
                                         {2.5f, "111"},
                                         {13.0f, k13},
                                         {13.01f, "1" + k13},
                                         {1000000.0f, "999987" + k13}}) {
    SCOPED_TRACE(c.carga);
    EXPECT_EQ(cadenaSesiones(c.carga), c.cadena);
  }
}

struct Lectura {
  const char* texto;
  std::optional<float> valor;
};

const Lectura kLecturas[] = {
    {"5", 5.0f},       {"2,5", 2.5f},       {"2.50", 2.5f},     {"02,50", 2.5f},
    {",5", 0.5f},      {"5,", 5.0f},        {"-1,5", -1.5f},    {"+3", 3.0f},
    {"0", 0.0f},       {"007", 7.0f},       {"2,5,0", {}},      {"2.5,0", {}},
    {"dos", {}},       {"", {}},            {",", {}},          {"-", {}},
    {"+,", {}},        {"--1", {}},         {"1e3", {}},        {"2 5", {}},
    {"0x10", {}},      {"inf", {}},         {"nan", {}},        {"2,5h", {}},
    {"1000000000000000000000000000000000000000", {}},  // beyond a float
};

void comprobarLecturas() {
  for (const Lectura& l : kLecturas) {
    SCOPED_TRACE(std::string("Horas '") + l.texto + "'");
    EXPECT_EQ(leerHoras(l.texto), l.valor);
  }
  // The load does not move with the locale either.
  EXPECT_EQ(calcularCarga("02,50", 55, 60, 30).sesiones, 5.0f);
  EXPECT_EQ(calcularCarga("2.50", 55, 60, 30).sesiones, 5.0f);
}

// Restores the process locale at the end of a test.
class ConLocale : public testing::Test {
 protected:
  void SetUp() override { antes_ = std::setlocale(LC_ALL, nullptr); }
  void TearDown() override { std::setlocale(LC_ALL, antes_.c_str()); }
  std::string antes_;
};

TEST_F(ConLocale, HorasUnderAPointLocale) {
  ASSERT_TRUE(std::setlocale(LC_ALL, "C"));
  ASSERT_STREQ(std::localeconv()->decimal_point, ".");
  comprobarLecturas();
}

TEST_F(ConLocale, HorasUnderACommaLocale) {
  if (!std::setlocale(LC_ALL, "es_ES.UTF-8")) GTEST_SKIP() << "locale es_ES.UTF-8 no instalado";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  comprobarLecturas();
}

}  // namespace
