// The file layer under every file the converter writes, moves or removes. Real runs use
// SistemaArchivos::real(); fault-injection tests pass a layer that fails the n-th call.
#pragma once
#include <filesystem>
#include <string_view>

namespace tov {

class SistemaArchivos {
 public:
  virtual ~SistemaArchivos() = default;
  // Writes the whole file, replacing it. Throws ErrorArchivo naming the path.
  virtual void escribir(const std::filesystem::path& ruta, std::string_view bytes) = 0;
  virtual void renombrar(const std::filesystem::path& de, const std::filesystem::path& a) = 0;
  // Removes a file or an empty folder; a missing one is no error.
  virtual void eliminar(const std::filesystem::path& ruta) = 0;
  virtual void crearCarpeta(const std::filesystem::path& ruta) = 0;

  static SistemaArchivos& real();
};

}  // namespace tov
