// A file layer that fails its n-th call (write, rename, removal or folder creation),
// as a full disk or a file held by another program would.
#pragma once
#include <string>

#include "app/errores.h"
#include "app/sistema_archivos.h"

namespace tov::prueba {

class ArchivosFallidos : public SistemaArchivos {
 public:
  explicit ArchivosFallidos(int fallarEn) : fallarEn_(fallarEn) {}

  void escribir(const std::filesystem::path& r, std::string_view b) override {
    paso("escribir", r);
    real().escribir(r, b);
  }
  void renombrar(const std::filesystem::path& de, const std::filesystem::path& a) override {
    paso("mover", de);
    real().renombrar(de, a);
  }
  void eliminar(const std::filesystem::path& r) override {
    paso("eliminar", r);
    real().eliminar(r);
  }
  void crearCarpeta(const std::filesystem::path& r) override {
    paso("crear", r);
    real().crearCarpeta(r);
  }
  int llamadas() const { return llamadas_; }
  bool fallo() const { return fallo_; }

 private:
  void paso(const char* que, const std::filesystem::path& r) {
    if (++llamadas_ == fallarEn_) {
      fallo_ = true;
      throw ErrorArchivo(std::string("Fallo simulado al ") + que + " " + r.string());
    }
  }
  int fallarEn_;
  int llamadas_ = 0;
  bool fallo_ = false;
};

}  // namespace tov::prueba
