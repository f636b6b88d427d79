// libFuzzer target: the bytes as an existing Orvantis.ini, then the status write.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/caminos.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
  static const tov::fuzz::Carpeta carpeta;
  const std::filesystem::path& raiz = carpeta.ruta();
  const std::string fallo = tov::fuzz::pasarIni({reinterpret_cast<const char*>(datos), n}, raiz);
  if (!fallo.empty()) {
    std::fprintf(stderr, "Orvantis.ini: %s\n", fallo.c_str());
    std::abort();
  }
  return 0;
}
