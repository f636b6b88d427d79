// The command-line tool as a function, with its streams passed in so tests can read them.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace tov {

// Exit status of transorvant-cli.
enum SalidaCli : int { kCompletado = 0, kError = 1, kUso = 2, kSinEntrada = 3 };

// `args` are the arguments after the program name.
int ejecutarOrden(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tov
