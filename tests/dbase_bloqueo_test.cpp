// Shared and exclusive use between processes: a child process holds the table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "apoyo/carpeta_temporal.h"
#include "app/errores.h"
#include "formats/tabla_dbase.h"
#include "formats/tabla_disenos.h"

namespace tov {
namespace {

using prueba::CarpetaTemporal;

// A process that opens the table, says so through a pipe and keeps it open until told.
class Poseedor {
 public:
  Poseedor(const std::filesystem::path& carpeta, const char* tabla, Access acceso) {
    if (::pipe(listo_) != 0 || ::pipe(fin_) != 0) std::abort();
    pid_ = ::fork();
    if (pid_ == 0) {
      char r = '1';
      try {
        DbfTable t = DbfTable::open(carpeta, tabla, acceso);
        (void)!::write(listo_[1], &r, 1);
        (void)!::read(fin_[0], &r, 1);
      } catch (...) {
        r = '0';
        (void)!::write(listo_[1], &r, 1);
      }
      ::_exit(0);
    }
    char r = '0';
    abierta_ = ::read(listo_[0], &r, 1) == 1 && r == '1';
  }
  ~Poseedor() { soltar(); }
  bool abierta() const { return abierta_; }
  void soltar() {
    if (pid_ <= 0) return;
    char c = 'x';
    (void)!::write(fin_[1], &c, 1);
    int estado;
    ::waitpid(pid_, &estado, 0);
    pid_ = -1;
    for (int fd : {listo_[0], listo_[1], fin_[0], fin_[1]}) ::close(fd);
  }

 private:
  int listo_[2], fin_[2];
  pid_t pid_ = -1;
  bool abierta_ = false;
};

struct Caso {
  const char* nombre;
  Access delOtro;
  Access nuestro;
  bool abre;
};

TEST(DbaseBloqueo, OtroProcesoQueTieneLaTabla) {
  const Caso casos[] = {
      {"exclusiva contra exclusiva", Access::Exclusive, Access::Exclusive, false},
      {"exclusiva contra compartida", Access::Exclusive, Access::Shared, false},
      {"compartida contra exclusiva", Access::Shared, Access::Exclusive, false},
      {"compartida contra compartida", Access::Shared, Access::Shared, true},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    CarpetaTemporal dir;
    DbfTable::create(dir.ruta(), "PROFT", disenos::PROFT);
    const auto dbf = dir / "PROFT.DBF";
    EXPECT_FALSE(DbfTable::isHeldByOther(dbf));
    Poseedor otro(dir.ruta(), "PROFT", c.delOtro);
    ASSERT_TRUE(otro.abierta());
    EXPECT_TRUE(DbfTable::isHeldByOther(dbf));
    if (c.abre) {
      EXPECT_NO_THROW(DbfTable::open(dir.ruta(), "PROFT", c.nuestro));
    } else {
      try {
        DbfTable::open(dir.ruta(), "PROFT", c.nuestro);
        ADD_FAILURE() << "se abrió";
      } catch (const ErrorEnUso& e) {
        EXPECT_EQ(std::string(e.what()), "La tabla " + dbf.string() + " está en uso por otro programa");
      }
    }
    EXPECT_THROW(DbfTable::create(dir.ruta(), "PROFT", disenos::PROFT), ErrorEnUso);
    otro.soltar();
    EXPECT_FALSE(DbfTable::isHeldByOther(dbf));
    EXPECT_NO_THROW(DbfTable::open(dir.ruta(), "PROFT", Access::Exclusive));
  }
}

TEST(DbaseBloqueo, NuestraTablaExclusivaCierraElPasoAOtroProceso) {
  CarpetaTemporal dir;
  DbfTable::create(dir.ruta(), "PROFT", disenos::PROFT);
  DbfTable nuestra = DbfTable::open(dir.ruta(), "PROFT", Access::Exclusive);
  {
    Poseedor otro(dir.ruta(), "PROFT", Access::Shared);
    EXPECT_FALSE(otro.abierta());
  }
  nuestra.close();  // the lock goes with the close
  Poseedor otro(dir.ruta(), "PROFT", Access::Shared);
  EXPECT_TRUE(otro.abierta());
}

TEST(DbaseBloqueo, UnArchivoQueNoExisteNoEstaRetenido) {
  CarpetaTemporal dir;
  EXPECT_FALSE(DbfTable::isHeldByOther(dir / "NADA.DBF"));
}

}  // namespace
}  // namespace tov
