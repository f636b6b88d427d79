// transorvant-cli: the conversions without the window, for IT staff and scripts.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/orden.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");  // as the window does: regional formats for the export stamp
  std::vector<std::string> args(argv + 1, argv + argc);
  return tov::ejecutarOrden(args, std::cout, std::cerr);
}
