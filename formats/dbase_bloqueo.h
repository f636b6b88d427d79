// The lock that makes "shared" and "exclusive" real between processes: an
// open-file-description lock on the whole .DBF, held from open to close.
#pragma once
#include <filesystem>
#include <string>

namespace tov::dbase {

class Bloqueo {
 public:
  // Opens the file and locks it: a write lock when exclusive, a read lock when shared.
  // Throws ErrorEnUso when another holder's lock conflicts, ErrorTabla when the file
  // cannot be opened.
  Bloqueo(const std::filesystem::path& ruta, bool exclusivo);
  Bloqueo(Bloqueo&& o) noexcept;
  Bloqueo& operator=(Bloqueo&& o) noexcept;
  Bloqueo(const Bloqueo&) = delete;
  Bloqueo& operator=(const Bloqueo&) = delete;
  ~Bloqueo();  // closing the descriptor releases the lock

  // The whole file, read through the locked descriptor.
  std::string leerTodo() const;

  // True when some open file description holds a lock on the file that a write lock
  // would conflict with. A missing file is not held.
  static bool retenidoPorOtro(const std::filesystem::path& ruta);

 private:
  std::filesystem::path ruta_;
  int fd_ = -1;
};

}  // namespace tov::dbase
