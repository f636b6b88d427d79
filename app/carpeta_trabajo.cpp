#include "app/carpeta_trabajo.h"

#include <cstdlib>

namespace tov {

std::filesystem::path carpetaTrabajoPorDefecto() {
#ifdef _WIN32
  return std::filesystem::path("C:\\XCAMBIO");
#else
  std::filesystem::path prefijo;
  if (const char* wine = std::getenv("WINEPREFIX"); wine && *wine)
    prefijo = wine;
  else if (const char* home = std::getenv("HOME"); home && *home)
    prefijo = std::filesystem::path(home) / ".wine";
  else
    prefijo = ".wine";
  return prefijo / "drive_c" / "XCAMBIO";
#endif
}

}  // namespace tov
