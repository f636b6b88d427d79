// Runs a shell command and gives what it printed on stdout, with its exit status.
#pragma once
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace tov::prueba {

inline std::string salidaDeOrden(const std::string& orden, int& estadoSalida) {
  std::string texto;
  FILE* p = ::popen(orden.c_str(), "r");
  if (!p) {
    estadoSalida = -1;
    return texto;
  }
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) texto.append(buf, n);
  const int estado = ::pclose(p);
  estadoSalida = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
  return texto;
}

}  // namespace tov::prueba
