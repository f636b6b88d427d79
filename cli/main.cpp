// transorvant-cli: the conversions without the window, for IT staff and scripts.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "cli/orden.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");  // as the window does: regional formats for the export stamp
#ifdef __GLIBC__
  // A large document is hundreds of thousands of small nodes freed together at the end. With
  // glibc's fast bins they all wait there and the next large allocation walks them again to
  // merge them; without, each is merged as it is freed, which measures cheaper overall.
  mallopt(M_MXFAST, 0);
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  return tov::ejecutarOrden(args, std::cout, std::cerr);
}
