#include "app/archivo_ini.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "app/errores.h"
#include "apoyo/archivos_fallidos.h"
#include "apoyo/carpeta_temporal.h"

namespace tov {
namespace {

using prueba::CarpetaTemporal;
using prueba::escribirArchivo;
using prueba::leerArchivo;

struct CasoIni {
  const char* nombre;
  std::string antes;
  std::string despues;  // after setting Transformadores/Transformado=1
};

std::ostream& operator<<(std::ostream& os, const CasoIni& c) { return os << c.nombre; }

class FijarValorIni : public testing::TestWithParam<CasoIni> {};

TEST_P(FijarValorIni, cambiaSoloLaClave) {
  const CasoIni& c = GetParam();
  EXPECT_EQ(fijarValorIni(c.antes, "Transformadores", "Transformado", "1"), c.despues);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, FijarValorIni,
    testing::Values(
        CasoIni{"vacio", "", "[Transformadores]\r\nTransformado=1\r\n"},
        CasoIni{"valorEnSuSitioCRLF",
                "; host\r\n[Otra]\r\na=1\r\n\r\n[transformadores]\r\nX=2\r\ntransformado=0\r\nY=3\r\n",
                "; host\r\n[Otra]\r\na=1\r\n\r\n[transformadores]\r\nX=2\r\ntransformado=1\r\nY=3\r\n"},
        CasoIni{"blancosAlrededorSeConservan",
                "[ TRANSFORMADORES ]\n  TRANSFORMADO = -1   ; nota\nz=9",
                "[ TRANSFORMADORES ]\n  TRANSFORMADO = 1\nz=9"},
        CasoIni{"primeraSeccionYPrimeraClaveGanan",
                "[Transformadores]\nTransformado=0\nTransformado=5\n[Transformadores]\nTransformado=7\n",
                "[Transformadores]\nTransformado=1\nTransformado=5\n[Transformadores]\nTransformado=7\n"},
        CasoIni{"claveNuevaTrasLaUltimaLineaDeSuSeccion",
                "[Transformadores]\nOtra=4\n; fin\n\n\n[Despues]\nb=2\n",
                "[Transformadores]\nOtra=4\n; fin\nTransformado=1\n\n\n[Despues]\nb=2\n"},
        CasoIni{"claveConOtroNombreParecido",
                "[Transformadores]\r\nTransformados=0\r\nTransformado_=0\r\n",
                "[Transformadores]\r\nTransformados=0\r\nTransformado_=0\r\nTransformado=1\r\n"},
        CasoIni{"seccionAlFinalSinSaltoFinal",
                "[Transformadores]\nOtra=4",
                "[Transformadores]\nOtra=4\nTransformado=1\n"},
        CasoIni{"cabeceraSinSaltoFinal",
                "[a]\r\n[Transformadores]",
                "[a]\r\n[Transformadores]\r\nTransformado=1\r\n"},
        CasoIni{"seccionNuevaTrasUltimaLineaSinSalto",
                "[Otra]\nclave=valor",
                "[Otra]\nclave=valor\n[Transformadores]\nTransformado=1\n"},
        CasoIni{"seccionNuevaSinLineaEnBlanco",
                "[Otra]\r\nclave=valor\r\n",
                "[Otra]\r\nclave=valor\r\n[Transformadores]\r\nTransformado=1\r\n"},
        CasoIni{"sinSaltosUsaCRLF", "; solo", "; solo\r\n[Transformadores]\r\nTransformado=1\r\n"},
        CasoIni{"comentarioConLaClaveNoCuenta",
                "[Transformadores]\n;Transformado=0\n",
                "[Transformadores]\n;Transformado=0\nTransformado=1\n"},
        CasoIni{"bytesDe8BitsIntactos",
                "[Ni\xF1os]\nA\xF1o=1\xE9\n[Transformadores]\nTransformado=\n",
                "[Ni\xF1os]\nA\xF1o=1\xE9\n[Transformadores]\nTransformado=1\n"}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(EscribirValorIni, creaElArchivoYLuegoLoCambia) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "Orvantis.ini";
  escribirValorIni(ruta, "Transformadores", "Transformado", "-1");
  EXPECT_EQ(leerArchivo(ruta), "[Transformadores]\r\nTransformado=-1\r\n");
  escribirValorIni(ruta, "Transformadores", "Transformado", "0");
  EXPECT_EQ(leerArchivo(ruta), "[Transformadores]\r\nTransformado=0\r\n");
  EXPECT_FALSE(std::filesystem::exists(tmp / "Orvantis.ini.nuevo"));
}

TEST(EscribirValorIni, unaCarpetaEnSuLugarDaElMensajeYNoToca) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "Orvantis.ini";
  std::filesystem::create_directory(ruta);
  try {
    escribirValorIni(ruta, "Transformadores", "Transformado", "1");
    FAIL() << "se esperaba un error";
  } catch (const ErrorArchivo& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + ruta.string());
  }
  EXPECT_TRUE(std::filesystem::is_directory(ruta));
  EXPECT_FALSE(std::filesystem::exists(tmp / "Orvantis.ini.nuevo"));
}

TEST(EscribirValorIni, unFalloAlEscribirDejaElArchivoComoEstaba) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "Orvantis.ini";
  const std::string antes = "[Transformadores]\nTransformado=0\n[Otra]\nx=1\n";
  escribirArchivo(ruta, antes);
  for (int n : {1, 2}) {  // the write aside, then the move over the old file
    SCOPED_TRACE(n);
    prueba::ArchivosFallidos fallidos(n);
    EXPECT_THROW(escribirValorIni(ruta, "Transformadores", "Transformado", "1", fallidos),
                 ErrorArchivo);
    EXPECT_EQ(leerArchivo(ruta), antes);
    EXPECT_FALSE(std::filesystem::exists(tmp / "Orvantis.ini.nuevo"));
  }
}

}  // namespace
}  // namespace tov
