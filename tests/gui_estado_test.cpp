// The status handshake with the host, on a copy of the real program in a temporary folder
// (its Orvantis.ini lives beside it, so parallel tests never share one).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "apoyo/carpeta_temporal.h"
#include "apoyo/proceso.h"

namespace tov {
namespace {

using namespace std::chrono_literals;
using prueba::CarpetaTemporal;
using prueba::escribirArchivo;
using prueba::leerArchivo;

struct CasoEstado {
  const char* nombre;
  std::vector<std::string> parametros;
  const char* pulsar;           // buttons clicked once the window shows
  const char* iniAntes;         // nullptr: no Orvantis.ini before
  const char* iniDespues;       // nullptr: none must exist after
  const char* mensaje;          // a box that must have been shown, or nullptr
};

std::ostream& operator<<(std::ostream& os, const CasoEstado& c) { return os << c.nombre; }

constexpr char kOtrosLF[] =
    "; ajustes del anfitri\xF3n\n[Orvantis]\nRuta=C:\\XCAMBIO\n\n[TRANSFORMADORES]\n"
    "otra=5\n  transformado = 1\nUltima=x\n\n[Fin]\nz=1";
constexpr char kOtrosLFDespues[] =
    "; ajustes del anfitri\xF3n\n[Orvantis]\nRuta=C:\\XCAMBIO\n\n[TRANSFORMADORES]\n"
    "otra=5\n  transformado = 0\nUltima=x\n\n[Fin]\nz=1";
constexpr char kSinSeccionCRLF[] = "[Orvantis]\r\nRuta=C:\\XCAMBIO";
constexpr char kSinSeccionCRLFDespues[] =
    "[Orvantis]\r\nRuta=C:\\XCAMBIO\r\n[Transformadores]\r\nTransformado=-1\r\n";

class EstadoAnfitrion : public testing::TestWithParam<CasoEstado> {};

TEST_P(EstadoAnfitrion, seEscribeAlCerrarSoloEnModoAnfitrion) {
  const CasoEstado& c = GetParam();
  CarpetaTemporal tmp;
  const auto programa = tmp / "transorvant";
  std::filesystem::copy_file(std::filesystem::path(TOV_BIN) / "transorvant", programa);
  const auto ini = tmp / "Orvantis.ini";
  if (c.iniAntes) escribirArchivo(ini, c.iniAntes);
  std::filesystem::create_directory(tmp / "wine");

  prueba::Proceso proceso(programa, c.parametros,
                          {{"QT_QPA_PLATFORM", "offscreen"},
                           {"TOV_PRUEBA_MENSAJES", "aceptar"},
                           {"TOV_PRUEBA_DIALOGO", "cancelar"},
                           {"TOV_PRUEBA_PULSAR", c.pulsar},
                           {"WINEPREFIX", (tmp / "wine").string()}},
                          tmp / "errores.txt");
  const auto salida = proceso.esperar(60s);
  const std::string errores = leerArchivo(tmp / "errores.txt");
  ASSERT_TRUE(salida.has_value()) << "la ventana no se cerró\n" << errores;
  EXPECT_EQ(*salida, 0) << errores;
  if (c.iniDespues) {
    EXPECT_EQ(leerArchivo(ini), c.iniDespues);
  } else {
    EXPECT_FALSE(std::filesystem::exists(ini));
  }
  if (c.mensaje) {
    EXPECT_NE(errores.find(std::string("TransOrvantVeluna: ") + c.mensaje), std::string::npos)
        << errores;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Casos, EstadoAnfitrion,
    testing::Values(
        CasoEstado{"sinParametros", {}, "BClose", nullptr, nullptr, nullptr},
        CasoEstado{"unParametro", {"exportar"}, "BClose", nullptr, nullptr, nullptr},
        CasoEstado{"tresParametros", {"exportar", "0", "x"}, "BClose", nullptr, nullptr, nullptr},
        CasoEstado{"standaloneNoTocaUnArchivoExistente", {}, "BClose", kOtrosLF, kOtrosLF, nullptr},
        CasoEstado{"manejadorQueNoConvierte", {"importar", "0x1A2B"}, "BClose", nullptr, nullptr,
                   "'$0x1A2B' no es un valor entero válido"},
        CasoEstado{"creaElArchivoConCRLF", {"IMPORTAR", "1a2B"}, "BClose", nullptr,
                   "[Transformadores]\r\nTransformado=0\r\n", nullptr},
        CasoEstado{"palabraSinMitadTambienEscribe", {"ver", "0"}, "BClose", kOtrosLF,
                   kOtrosLFDespues, nullptr},
        CasoEstado{"noExisteArchivo", {"exportar", "0"}, "BExportar", kSinSeccionCRLF,
                   kSinSeccionCRLFDespues, "No existe archivo"},
        CasoEstado{"noExisteArchivoXMLoSolucion", {"Importar", "123456"}, "BImportar", nullptr,
                   "[Transformadores]\r\nTransformado=-1\r\n", "No existe archivo XML o Solución."}),
    [](const auto& info) { return std::string(info.param.nombre); });

}  // namespace
}  // namespace tov
