// The conversion run's frame: all-or-nothing replacement of the work tables, recovery of a
// killed run, the folder lock, and documents that stop the run before anything is touched.
#include "centre_to_timetable/conversion.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include "app/errores.h"
#include "apoyo/archivos_fallidos.h"
#include "apoyo/carpeta_temporal.h"
#include "apoyo/instantanea.h"

namespace fs = std::filesystem;
using namespace tov;
using namespace tov::prueba;

namespace {

const char* kDocumento =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Centro Codigo=\"1\"><Materias/></Centro>\n";

// Stand-in builders that write table files the way the real ones do: through the run's
// file layer, into the folder they are given.
void escribeAsignaturas(Contexto& ctx) {
  ctx.archivos.escribir(ctx.carpeta / "ASIGNOMT.DBF", "nuevo ASIGNOMT");
  ctx.informe.filas("ASIGNOMT", 2);
}
void escribeProfesores(Contexto& ctx) {
  ctx.archivos.escribir(ctx.carpeta / "PROFT.DBF", "nuevo PROFT");
}
void escribeCuentas(Contexto& ctx) {
  ctx.archivos.escribir(ctx.carpeta / "COUNTSES.DBF", "nuevo COUNTSES");
  ctx.archivos.escribir(ctx.carpeta / "COUNTSES.MDX", "nuevo indice");
}
void falla(Contexto&) { throw ErrorDatos("Hora no válida en la sesión de la línea 7: '8'"); }

const std::vector<Generador> kBuenos = {{"asignaturas", escribeAsignaturas},
                                        {"profesores", escribeProfesores},
                                        {"cuentas", escribeCuentas}};
const std::vector<Generador> kFallaAlFinal = {{"asignaturas", escribeAsignaturas},
                                              {"profesores", escribeProfesores},
                                              {"falla", falla}};

struct Mundo {
  CarpetaTemporal tmp;
  fs::path xml = tmp / "centro.xml";
  fs::path trabajo = tmp / "XCAMBIO";
  ListaCatalogo codigos, nombres;
  std::vector<std::string> plantillas;

  Mundo() {
    escribirArchivo(xml, kDocumento);
    fs::create_directories(trabajo);
    // The old tables of an earlier run, the host's files, and somebody else's file.
    for (const char* t : {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "ASIGT", "DIASHORAST",
                          "COUNTSES", "CURSOST"})
      escribirArchivo(trabajo / (std::string(t) + ".DBF"), std::string("viejo ") + t);
    escribirArchivo(trabajo / "COUNTSES.MDX", "viejo indice");
    escribirArchivo(trabajo / "CURSOST.MDX", "viejo indice de cursos");
    escribirArchivo(trabajo / "SOLUC.DBF", "solucion del anfitrion");
    escribirArchivo(trabajo / "notas.txt", "de otro programa");
  }

  Informe convertir(const std::vector<Generador>& g, SistemaArchivos* archivos = nullptr) {
    Conversion c;
    c.carpeta = trabajo;
    c.generadores = &g;
    c.archivos = archivos;
    return convertirCentro(xml, c, codigos, nombres, plantillas);
  }
};

TEST(Conversion, ReplacesTheTablesAndLeavesEverythingElse) {
  Mundo m;
  m.codigos.anadir("VIEJ");
  Informe informe = m.convertir(kBuenos);

  Instantanea despues = instantanea(m.trabajo);
  Instantanea esperada = {
      {"ASIGNOMT.DBF", "nuevo ASIGNOMT"}, {"PROFT.DBF", "nuevo PROFT"},
      {"COUNTSES.DBF", "nuevo COUNTSES"}, {"COUNTSES.MDX", "nuevo indice"},
      {"SOLUC.DBF", "solucion del anfitrion"}, {"notas.txt", "de otro programa"}};
  // Tables this run did not write are gone with the old set, and so is the host's CURSOST.
  EXPECT_EQ(despues, esperada);
  EXPECT_EQ(m.codigos.size(), 0u) << "the run empties the catalogue lists first";
  ASSERT_EQ(informe.tablas().size(), 1u);
  EXPECT_EQ(informe.tablas()[0], (std::pair<std::string, long>{"ASIGNOMT", 2}));
}

TEST(Conversion, AFailingBuilderChangesNothing) {
  Mundo m;
  Instantanea antes = instantanea(m.trabajo);
  EXPECT_THROW(m.convertir(kFallaAlFinal), ErrorDatos);
  EXPECT_EQ(instantanea(m.trabajo), antes);
}

TEST(Conversion, ADocumentThatCannotBeUsedTouchesNothing) {
  struct Caso {
    const char* nombre;
    const char* contenido;
  };
  for (const Caso& c : {Caso{"mal formado", "<Centro><Materias></Centro>"},
                        Caso{"otra raiz", "<?xml version=\"1.0\"?><Escuela/>"}}) {
    SCOPED_TRACE(c.nombre);
    Mundo m;
    escribirArchivo(m.xml, c.contenido);
    fs::remove_all(m.trabajo);
    EXPECT_THROW(m.convertir(kBuenos), ErrorXml);
    EXPECT_FALSE(fs::exists(m.trabajo)) << "not even the work folder is created";
  }
}

TEST(Conversion, CreatesAMissingWorkFolder) {
  Mundo m;
  fs::remove_all(m.trabajo);
  m.convertir(kBuenos);
  EXPECT_EQ(leerArchivo(m.trabajo / "PROFT.DBF"), "nuevo PROFT");
  // ...and takes it away again when the run fails.
  fs::remove_all(m.trabajo);
  EXPECT_THROW(m.convertir(kFallaAlFinal), ErrorDatos);
  EXPECT_FALSE(fs::exists(m.trabajo));
}

TEST(Conversion, AFileWhereTheWorkFolderShouldBeIsAnError) {
  Mundo m;
  fs::remove_all(m.trabajo);
  escribirArchivo(m.trabajo, "no soy una carpeta");
  try {
    m.convertir(kBuenos);
    FAIL() << "expected an error";
  } catch (const ErrorArchivo& e) {
    EXPECT_NE(std::string(e.what()).find(m.trabajo.string()), std::string::npos) << e.what();
  }
  EXPECT_EQ(leerArchivo(m.trabajo), "no soy una carpeta");
}

// Every write, move and removal of a run may fail: whichever fails, the work folder is
// byte for byte as before and nothing stray is left; or the run completed.
TEST(Conversion, AFailureAtAnyFileStepChangesNothing) {
  int completadas = 0;
  for (int n = 1;; ++n) {
    SCOPED_TRACE("fallo en la llamada " + std::to_string(n));
    Mundo m;
    Instantanea antes = instantanea(m.trabajo);
    ArchivosFallidos archivos(n);
    try {
      m.convertir(kBuenos, &archivos);
    } catch (const ErrorArchivo& e) {
      EXPECT_TRUE(archivos.fallo());
      EXPECT_NE(std::string(e.what()).find(m.tmp.ruta().string()), std::string::npos)
          << "the error names the file: " << e.what();
      EXPECT_EQ(instantanea(m.trabajo), antes);
      continue;
    }
    // The failure fell on the clean-up after the commit, or past the last call.
    Instantanea despues = instantanea(m.trabajo);
    EXPECT_EQ(despues.count("PROFT.DBF"), 1u);
    EXPECT_EQ(despues["PROFT.DBF"], "nuevo PROFT");
    if (!archivos.fallo()) break;
    ++completadas;
  }
  EXPECT_GT(completadas, 0) << "some failures fall on the clean-up after the commit";
}

// A run killed during its commit is finished or undone by the next one.
TEST(Conversion, RecoversFromARunKilledDuringItsCommit) {
  struct Caso {
    const char* nombre;
    bool hecho;  // the killed run had put every new file in place
  };
  for (const Caso& c : {Caso{"antes de hecho", false}, Caso{"despues de hecho", true}}) {
    SCOPED_TRACE(c.nombre);
    Mundo m;
    Instantanea antes = instantanea(m.trabajo);
    // The state a killed commit leaves: PROFT moved aside and its new one in place,
    // the new COUNTSES.MDX placed where there was none... (with "hecho", all of it).
    fs::path esc = m.trabajo / ".transorvant";
    fs::create_directories(esc / "anterior");
    fs::create_directories(esc / "nuevo");
    escribirArchivo(esc / "lista", "A PROFT.DBF\nA ASIGT.DBF\nN PROFT.DBF\nN ASIGT.DBF\nN AULAT.MDX\n");
    fs::rename(m.trabajo / "PROFT.DBF", esc / "anterior" / "PROFT.DBF");
    escribirArchivo(m.trabajo / "PROFT.DBF", "PROFT a medias");
    escribirArchivo(m.trabajo / "AULAT.MDX", "indice nuevo");
    // ASIGT.DBF was not moved aside yet: the old one must stay.
    if (c.hecho) {
      fs::rename(m.trabajo / "ASIGT.DBF", esc / "anterior" / "ASIGT.DBF");
      escribirArchivo(m.trabajo / "ASIGT.DBF", "ASIGT nuevo");
      escribirArchivo(esc / "hecho", "");
    }
    Instantanea tras = instantanea(m.trabajo);

    // The next run stops in a builder: what it finds after recovery is what stays.
    EXPECT_THROW(m.convertir(kFallaAlFinal), ErrorDatos);
    Instantanea ahora = instantanea(m.trabajo);
    if (c.hecho) {
      for (auto it = tras.begin(); it != tras.end();)
        it = it->first.rfind(".transorvant", 0) == 0 ? tras.erase(it) : std::next(it);
      EXPECT_EQ(ahora, tras) << "the killed run had finished: its tables stay";
    } else {
      EXPECT_EQ(ahora, antes) << "the killed run is undone";
    }
  }
}

TEST(Conversion, AnotherConversionHoldingTheFolderStopsTheRun) {
  Mundo m;
  Instantanea antes = instantanea(m.trabajo);
  int tubo[2];
  ASSERT_EQ(pipe(tubo), 0);
  pid_t hijo = fork();
  ASSERT_GE(hijo, 0);
  if (hijo == 0) {
    int fd = ::open(m.trabajo.c_str(), O_RDONLY | O_DIRECTORY);
    flock(fd, LOCK_EX);
    char c = 'x';
    (void)!write(tubo[1], &c, 1);
    sleep(30);
    _exit(0);
  }
  char c;
  ASSERT_EQ(read(tubo[0], &c, 1), 1);
  try {
    m.convertir(kBuenos);
    ADD_FAILURE() << "expected the folder to be in use";
  } catch (const ErrorEnUso& e) {
    EXPECT_EQ(std::string(e.what()),
              "La carpeta de trabajo " + m.trabajo.string() + " está en uso por otra conversión");
  }
  kill(hijo, SIGKILL);
  waitpid(hijo, nullptr, 0);
  close(tubo[0]);
  close(tubo[1]);
  EXPECT_EQ(instantanea(m.trabajo), antes);
  m.convertir(kBuenos);  // free again
  EXPECT_EQ(leerArchivo(m.trabajo / "PROFT.DBF"), "nuevo PROFT");
}

// Two real conversions at once: the first waits inside a builder while the second starts.
int gAvisoDentro[2];
int gSeguir[2];
void esperaDentro(Contexto& ctx) {
  escribeProfesores(ctx);
  char c = 'x';
  (void)!write(gAvisoDentro[1], &c, 1);
  (void)!read(gSeguir[0], &c, 1);
}

TEST(Conversion, ASecondConversionStopsWhileTheFirstCompletes) {
  Mundo m;
  ASSERT_EQ(pipe(gAvisoDentro), 0);
  ASSERT_EQ(pipe(gSeguir), 0);
  pid_t primera = fork();
  ASSERT_GE(primera, 0);
  if (primera == 0) {
    static const std::vector<Generador> lenta = {{"espera", esperaDentro}};
    try {
      m.convertir(lenta);
    } catch (...) {
      _exit(1);
    }
    _exit(0);
  }
  char c;
  ASSERT_EQ(read(gAvisoDentro[0], &c, 1), 1);
  Instantanea antes = instantanea(m.trabajo);
  EXPECT_THROW(m.convertir(kBuenos), ErrorEnUso);
  EXPECT_EQ(instantanea(m.trabajo), antes);
  ASSERT_EQ(write(gSeguir[1], &c, 1), 1);
  int estado = 0;
  waitpid(primera, &estado, 0);
  EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0) << "the first conversion completes";
  EXPECT_EQ(leerArchivo(m.trabajo / "PROFT.DBF"), "nuevo PROFT");
  EXPECT_FALSE(fs::exists(m.trabajo / "ASIGNOMT.DBF")) << "the first run's set replaced the old one";
  for (int fd : {gAvisoDentro[0], gAvisoDentro[1], gSeguir[0], gSeguir[1]}) close(fd);
}

}  // namespace
