// libFuzzer target: the bytes as SOLUC.DBF beside the tables of the sample school's run,
// through the table reader and the way back.
#include <cstddef>
#include <cstdint>

#include "fuzz/caminos.h"

#ifndef TOV_DATOS
#error "TOV_DATOS: the tests' data folder"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
  static const tov::fuzz::Carpeta carpeta;
  const std::filesystem::path& raiz = carpeta.ruta();
  static const std::filesystem::path xml =
      tov::fuzz::prepararSoluc(raiz, std::filesystem::path(TOV_DATOS) / "ies_ejemplo.xml");
  tov::fuzz::pasarSoluc({reinterpret_cast<const char*>(datos), n}, raiz, xml);
  return 0;
}
