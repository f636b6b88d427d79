// Holds the work folder for one conversion, so that two converters never write it at once.
#pragma once
#include <filesystem>

namespace tov {

class BloqueoCarpeta {
 public:
  // Throws ErrorEnUso ("La carpeta de trabajo <path> está en uso por otra conversión")
  // at once when another conversion holds it.
  explicit BloqueoCarpeta(const std::filesystem::path& carpeta);
  ~BloqueoCarpeta();
  BloqueoCarpeta(const BloqueoCarpeta&) = delete;
  BloqueoCarpeta& operator=(const BloqueoCarpeta&) = delete;

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

}  // namespace tov
