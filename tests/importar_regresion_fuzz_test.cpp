// Inputs kept from the fuzz targets (findings and hand-made tricky files) replayed through the
// same paths: the centre document through both loads compared and the whole run, SOLUC bytes
// through the way back, an existing Orvantis.ini through the status write. A tov::Error is a
// proper answer; a crash, another exception, loads that read differently or a changed byte of
// the settings file is a fault.
#include <gtest/gtest.h>

#include <algorithm>

#include "apoyo/carpeta_temporal.h"
#include "fuzz/caminos.h"

namespace fs = std::filesystem;
using namespace tov::prueba;

namespace {

std::vector<fs::path> entradas(const char* objetivo) {
  std::vector<fs::path> r;
  for (const auto& e : fs::directory_iterator(fs::path(TOV_DATOS) / "fuzz" / objetivo))
    if (e.is_regular_file()) r.push_back(e.path());
  std::sort(r.begin(), r.end());
  return r;
}

TEST(RegresionFuzz, CentreDocumentsRunOrStopWithAnError) {
  const auto archivos = entradas("centro");
  ASSERT_FALSE(archivos.empty());
  for (const auto& a : archivos) {
    SCOPED_TRACE(a.filename().string());
    CarpetaTemporal tmp;
    std::string fallo;
    EXPECT_NO_THROW(fallo = tov::fuzz::pasarCentro(leerArchivo(a), tmp.ruta()));
    EXPECT_EQ(fallo, "");
  }
}

TEST(RegresionFuzz, SolucTablesExportOrStopWithAnError) {
  const auto archivos = entradas("soluc");
  ASSERT_FALSE(archivos.empty());
  CarpetaTemporal tmp;
  const fs::path xml = tov::fuzz::prepararSoluc(tmp.ruta(), fs::path(TOV_DATOS) / "ies_ejemplo.xml");
  for (const auto& a : archivos) {
    SCOPED_TRACE(a.filename().string());
    EXPECT_NO_THROW(tov::fuzz::pasarSoluc(leerArchivo(a), tmp.ruta(), xml));
  }
}

TEST(RegresionFuzz, SettingsFilesKeepEveryOtherByte) {
  const auto archivos = entradas("ini");
  ASSERT_FALSE(archivos.empty());
  for (const auto& a : archivos) {
    SCOPED_TRACE(a.filename().string());
    CarpetaTemporal tmp;
    std::string fallo;
    EXPECT_NO_THROW(fallo = tov::fuzz::pasarIni(leerArchivo(a), tmp.ruta()));
    EXPECT_EQ(fallo, "");
  }
}

}  // namespace
