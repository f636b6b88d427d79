// Every file under a folder with its bytes, to show that a run changed nothing.
#pragma once
#include <filesystem>
#include <map>
#include <string>

#include "apoyo/carpeta_temporal.h"

namespace tov::prueba {

using Instantanea = std::map<std::string, std::string>;  // relative path -> bytes ("<dir>" for folders)

inline Instantanea instantanea(const std::filesystem::path& raiz) {
  Instantanea foto;
  if (!std::filesystem::exists(raiz)) return foto;
  for (const auto& e : std::filesystem::recursive_directory_iterator(raiz)) {
    std::string rel = std::filesystem::relative(e.path(), raiz).string();
    foto[rel] = e.is_directory() ? std::string("<dir>") : leerArchivo(e.path());
  }
  return foto;
}

}  // namespace tov::prueba
