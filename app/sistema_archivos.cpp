#include "app/sistema_archivos.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include "app/errores.h"

namespace tov {
namespace {

std::string motivo(const std::error_code& ec) { return ec.message(); }

class SistemaReal final : public SistemaArchivos {
 public:
  void escribir(const std::filesystem::path& ruta, std::string_view bytes) override {
    std::FILE* f = std::fopen(ruta.c_str(), "wb");
    if (!f)
      throw ErrorArchivo("No se puede escribir " + ruta.string() + ": " + std::strerror(errno));
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int err = errno;
    if (std::fclose(f) != 0 && ok) {
      ok = false;
      err = errno;
    }
    if (!ok) throw ErrorArchivo("No se puede escribir " + ruta.string() + ": " + std::strerror(err));
  }
  void renombrar(const std::filesystem::path& de, const std::filesystem::path& a) override {
    std::error_code ec;
    std::filesystem::rename(de, a, ec);
    if (ec) throw ErrorArchivo("No se puede mover " + de.string() + " a " + a.string() + ": " + motivo(ec));
  }
  void eliminar(const std::filesystem::path& ruta) override {
    std::error_code ec;
    std::filesystem::remove(ruta, ec);
    if (ec) throw ErrorArchivo("No se puede eliminar " + ruta.string() + ": " + motivo(ec));
  }
  void crearCarpeta(const std::filesystem::path& ruta) override {
    std::error_code ec;
    std::filesystem::create_directories(ruta, ec);
    if (ec) throw ErrorArchivo("No se puede crear la carpeta " + ruta.string() + ": " + motivo(ec));
  }
};

}  // namespace

SistemaArchivos& SistemaArchivos::real() {
  static SistemaReal real;  // stateless
  return real;
}

}  // namespace tov
