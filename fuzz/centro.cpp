// libFuzzer target: the bytes as the centre document through the whole conversion.
#include <cstddef>
#include <cstdint>

#include "fuzz/caminos.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
  static const tov::fuzz::Carpeta carpeta;
  const std::filesystem::path& raiz = carpeta.ruta();
  tov::fuzz::pasarCentro({reinterpret_cast<const char*>(datos), n}, raiz);
  return 0;
}
