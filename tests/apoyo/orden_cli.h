// The command-line tool run in-process, with what it printed and its exit status.
#pragma once
#include <sstream>
#include <string>
#include <vector>

#include "cli/orden.h"

namespace tov::prueba {

struct ResultadoCli {
  int estado;
  std::string out, err;
};

inline ResultadoCli ordenCli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int estado = ejecutarOrden(args, out, err);
  return {estado, out.str(), err.str()};
}

}  // namespace tov::prueba
