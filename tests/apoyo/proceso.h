// A child process for tests that run a real program: its own environment additions, a pipe
// to its stdin and from its stdout, stderr into a file, and a bounded wait.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tov::prueba {

class Proceso {
 public:
  Proceso(const std::filesystem::path& programa, const std::vector<std::string>& args,
          const std::map<std::string, std::string>& entorno, const std::filesystem::path& errores) {
    int entrada[2], salida[2];
    if (pipe(entrada) != 0 || pipe(salida) != 0) std::abort();
    pid_ = fork();
    if (pid_ < 0) std::abort();
    if (pid_ == 0) {
      for (const auto& [k, v] : entorno) setenv(k.c_str(), v.c_str(), 1);
      int err = open(errores.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(entrada[0], 0);
      dup2(salida[1], 1);
      if (err >= 0) dup2(err, 2);
      for (int fd : {entrada[0], entrada[1], salida[0], salida[1]}) close(fd);
      std::vector<char*> argv;
      std::string prog = programa.string();
      argv.push_back(prog.data());
      std::vector<std::string> copia = args;
      for (auto& a : copia) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(prog.c_str(), argv.data());
      _exit(127);
    }
    close(entrada[0]);
    close(salida[1]);
    entrada_ = entrada[1];
    salida_ = salida[0];
  }
  ~Proceso() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(entrada_);
    close(salida_);
  }
  Proceso(const Proceso&) = delete;
  Proceso& operator=(const Proceso&) = delete;

  // One line of its stdout (without the '\n'); empty at end of output.
  std::string leerLinea() {
    std::string linea;
    char c;
    while (read(salida_, &c, 1) == 1 && c != '\n') linea += c;
    return linea;
  }
  void escribir(const std::string& texto) {
    if (::write(entrada_, texto.data(), texto.size()) < 0) return;
  }
  // Its exit code, or nothing if it is still running after `limite` (it is then killed).
  std::optional<int> esperar(std::chrono::milliseconds limite) {
    const auto fin = std::chrono::steady_clock::now() + limite;
    while (pid_ > 0) {
      int estado = 0;
      pid_t r = waitpid(pid_, &estado, WNOHANG);
      if (r == pid_) {
        pid_ = 0;
        return WIFEXITED(estado) ? WEXITSTATUS(estado) : 128 + WTERMSIG(estado);
      }
      if (std::chrono::steady_clock::now() > fin) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
  }

 private:
  pid_t pid_ = -1;
  int entrada_ = -1, salida_ = -1;
};

}  // namespace tov::prueba
