#include "app/linea_comandos.h"

#include <gtest/gtest.h>

#include "app/errores.h"

namespace tov {
namespace {

struct CasoLinea {
  const char* nombre;
  std::vector<std::string> parametros;
  bool anfitrion;
  std::int32_t manejador;
  Mitad mitad;
  const char* error;  // nullptr: no error
};

std::ostream& operator<<(std::ostream& os, const CasoLinea& c) { return os << c.nombre; }

class LineaComandos : public testing::TestWithParam<CasoLinea> {};

TEST_P(LineaComandos, decideModoManejadorYMitad) {
  const CasoLinea& c = GetParam();
  if (c.error) {
    try {
      leerLineaComandos(c.parametros);
      FAIL() << "se esperaba el error " << c.error;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
    return;
  }
  ModoInicio modo = leerLineaComandos(c.parametros);
  EXPECT_EQ(modo.anfitrion, c.anfitrion);
  EXPECT_EQ(modo.manejador, c.manejador);
  EXPECT_EQ(modo.mitad, c.mitad);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, LineaComandos,
    testing::Values(
        CasoLinea{"sinParametros", {}, false, 0, Mitad::ambas, nullptr},
        CasoLinea{"unParametro", {"exportar"}, false, 0, Mitad::ambas, nullptr},
        CasoLinea{"tresParametros", {"exportar", "1A2B", "x"}, false, 0, Mitad::ambas, nullptr},
        CasoLinea{"tresParametrosConManejadorMalo", {"exportar", "zz", "x"}, false, 0, Mitad::ambas, nullptr},
        CasoLinea{"importarEnMayusculas", {"IMPORTAR", "1a2B"}, true, 0x1A2B, Mitad::importar, nullptr},
        CasoLinea{"exportarMezclado", {"ExPoRtAr", "ff"}, true, 0xFF, Mitad::exportar, nullptr},
        CasoLinea{"digitosDecimalesSonHexadecimales", {"exportar", "123456"}, true, 0x123456, Mitad::exportar, nullptr},
        CasoLinea{"otraPalabraNoEligeMitad", {"ver", "1A2B"}, true, 0x1A2B, Mitad::ambas, nullptr},
        // Only A-Z are lowered: a word with an accented capital is another word.
        CasoLinea{"soloSeBajanAaZ", {"EXPORTAR\xC9", "1"}, true, 1, Mitad::ambas, nullptr},
        CasoLinea{"manejadorCero", {"exportar", "0"}, true, 0, Mitad::exportar, nullptr},
        CasoLinea{"ochoDigitosDanNegativo", {"importar", "FFFFFFFF"}, true, -1, Mitad::importar, nullptr},
        CasoLinea{"cerosALaIzquierda", {"importar", "000000000001"}, true, 1, Mitad::importar, nullptr},
        CasoLinea{"prefijo0x", {"exportar", "0x1A2B"}, false, 0, Mitad::ambas, "'$0x1A2B' no es un valor entero válido"},
        CasoLinea{"blancoEntreDigitos", {"exportar", "1A 2B"}, false, 0, Mitad::ambas, "'$1A 2B' no es un valor entero válido"},
        CasoLinea{"blancoDelante", {"exportar", " 1A2B"}, false, 0, Mitad::ambas, "'$ 1A2B' no es un valor entero válido"},
        CasoLinea{"vacio", {"exportar", ""}, false, 0, Mitad::ambas, "'$' no es un valor entero válido"},
        CasoLinea{"signo", {"exportar", "-1"}, false, 0, Mitad::ambas, "'$-1' no es un valor entero válido"},
        CasoLinea{"segundoPrefijo", {"exportar", "$12"}, false, 0, Mitad::ambas, "'$$12' no es un valor entero válido"},
        CasoLinea{"noHexadecimal", {"importar", "12G"}, false, 0, Mitad::ambas, "'$12G' no es un valor entero válido"},
        CasoLinea{"pasaDeFFFFFFFF", {"importar", "100000000"}, false, 0, Mitad::ambas, "'$100000000' no es un valor entero válido"}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(ConvertirEntero, decimalConSignoYLimites) {
  EXPECT_EQ(convertirEntero("2147483647"), 2147483647);
  EXPECT_EQ(convertirEntero("-2147483648"), INT32_MIN);
  EXPECT_EQ(convertirEntero("-$10"), -16);
  EXPECT_THROW(convertirEntero("2147483648"), Error);
  EXPECT_THROW(convertirEntero("12a"), Error);
  EXPECT_THROW(convertirEntero("-"), Error);
}

}  // namespace
}  // namespace tov
