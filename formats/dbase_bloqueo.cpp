#include "formats/dbase_bloqueo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "app/errores.h"

// Open-file-description locks belong to the open file, not to the process: they conflict
// between two opens even inside one process, and they go away when the descriptor closes,
// so a crashed program never leaves a table locked. Classic POSIX record locks would be
// dropped by any unrelated close() of the same file in this process. A program that takes
// no locks (a Windows host under Wine keeps its share modes to itself) is not seen.
#ifndef F_OFD_SETLK
#error "Table locks need open-file-description locks (F_OFD_SETLK)"
#endif

namespace tov::dbase {
namespace {

std::string enUso(const std::filesystem::path& ruta) {
  return "La tabla " + ruta.string() + " está en uso por otro programa";
}

struct flock todoElArchivo(short tipo) {
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);  // l_pid must be 0 for OFD locks
  fl.l_type = tipo;
  fl.l_whence = SEEK_SET;
  fl.l_start = 0;
  fl.l_len = 0;  // to the end, however the file grows
  return fl;
}

}  // namespace

Bloqueo::Bloqueo(const std::filesystem::path& ruta, bool exclusivo) : ruta_(ruta) {
  fd_ = ::open(ruta.c_str(), (exclusivo ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd_ < 0 && exclusivo && errno == EACCES) fd_ = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0)
    throw ErrorTabla("No se puede abrir la tabla " + ruta.string() + ": " + std::strerror(errno));
  // A write lock needs a descriptor open for writing; a read-only file gets a read lock,
  // which still keeps every exclusive opener out.
  const bool escritura = exclusivo && (::fcntl(fd_, F_GETFL) & O_ACCMODE) == O_RDWR;
  struct flock fl = todoElArchivo(escritura ? F_WRLCK : F_RDLCK);
  if (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) {
    const int err = errno;
    ::close(fd_);
    fd_ = -1;
    if (err == EAGAIN || err == EACCES) throw ErrorEnUso(enUso(ruta));
    throw ErrorTabla("No se puede bloquear la tabla " + ruta.string() + ": " + std::strerror(err));
  }
}

Bloqueo::Bloqueo(Bloqueo&& o) noexcept : ruta_(std::move(o.ruta_)), fd_(std::exchange(o.fd_, -1)) {}

Bloqueo& Bloqueo::operator=(Bloqueo&& o) noexcept {
  if (this != &o) {
    if (fd_ >= 0) ::close(fd_);
    ruta_ = std::move(o.ruta_);
    fd_ = std::exchange(o.fd_, -1);
  }
  return *this;
}

Bloqueo::~Bloqueo() {
  if (fd_ >= 0) ::close(fd_);
}

std::string Bloqueo::leerTodo() const {
  std::string bytes;
  // One allocation for the whole table: large tables are read once when opened.
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (off_t pos = 0;;) {
    const ssize_t n = ::pread(fd_, buf, sizeof buf, pos);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw ErrorTabla("No se puede leer la tabla " + ruta_.string() + ": " + std::strerror(errno));
    }
    if (n == 0) break;
    bytes.append(buf, std::size_t(n));
    pos += n;
  }
  return bytes;
}

bool Bloqueo::retenidoPorOtro(const std::filesystem::path& ruta) {
  const int fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock fl = todoElArchivo(F_WRLCK);
  const bool ok = ::fcntl(fd, F_OFD_GETLK, &fl) == 0;
  ::close(fd);
  return ok && fl.l_type != F_UNLCK;
}

}  // namespace tov::dbase
