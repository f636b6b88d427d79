#include "centre_to_timetable/bloqueo_carpeta.h"

#include "app/errores.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace tov {
namespace {
std::string enUso(const std::filesystem::path& carpeta) {
  return "La carpeta de trabajo " + carpeta.string() + " está en uso por otra conversión";
}
}  // namespace

#ifdef _WIN32
// Windows cannot lock a folder: a lock file opened without sharing stands in for it and
// disappears when closed.
BloqueoCarpeta::BloqueoCarpeta(const std::filesystem::path& carpeta) {
  std::filesystem::create_directories(carpeta / ".transorvant");
  handle_ = CreateFileW((carpeta / ".transorvant" / "bloqueo").c_str(), GENERIC_WRITE, 0, nullptr,
                        OPEN_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) {
    handle_ = nullptr;
    throw ErrorEnUso(enUso(carpeta));
  }
}
BloqueoCarpeta::~BloqueoCarpeta() {
  if (handle_) CloseHandle(handle_);
}
#else
BloqueoCarpeta::BloqueoCarpeta(const std::filesystem::path& carpeta) {
  fd_ = ::open(carpeta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0)
    throw ErrorArchivo("No se puede abrir la carpeta de trabajo " + carpeta.string() + ": " +
                       std::strerror(errno));
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd_);
    fd_ = -1;
    throw ErrorEnUso(enUso(carpeta));
  }
}
BloqueoCarpeta::~BloqueoCarpeta() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}
#endif

}  // namespace tov
