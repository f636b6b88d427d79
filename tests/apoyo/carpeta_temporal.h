// A fresh temporary folder for one test, removed with everything in it at the end.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tov::prueba {

class CarpetaTemporal {
 public:
  CarpetaTemporal() {
    std::string plantilla = (std::filesystem::temp_directory_path() / "tov-XXXXXX").string();
    if (!mkdtemp(plantilla.data())) std::abort();
    ruta_ = plantilla;
  }
  ~CarpetaTemporal() {
    std::error_code ec;
    std::filesystem::remove_all(ruta_, ec);
  }
  CarpetaTemporal(const CarpetaTemporal&) = delete;
  CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;

  const std::filesystem::path& ruta() const { return ruta_; }
  std::filesystem::path operator/(const std::filesystem::path& p) const { return ruta_ / p; }

 private:
  std::filesystem::path ruta_;
};

inline std::string leerArchivo(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

inline void escribirArchivo(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f << bytes;
}

}  // namespace tov::prueba
