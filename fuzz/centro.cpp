// libFuzzer target: the bytes as the centre document through the whole conversion.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/caminos.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
  static const tov::fuzz::Carpeta carpeta;
  const std::filesystem::path& raiz = carpeta.ruta();
  const std::string fallo = tov::fuzz::pasarCentro({reinterpret_cast<const char*>(datos), n}, raiz);
  if (!fallo.empty()) {
    std::fprintf(stderr, "centro.xml: %s\n", fallo.c_str());
    std::abort();
  }
  return 0;
}
