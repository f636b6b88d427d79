// transorvant-cli: exit codes, the dry run, and the one-object JSON answer.
#include "apoyo/orden_cli.h"

#include <gtest/gtest.h>


#include "apoyo/carpeta_temporal.h"
#include "apoyo/instantanea.h"

namespace fs = std::filesystem;
using namespace tov;
using namespace tov::prueba;

namespace {

const char* kCentro = R"(<?xml version="1.0" encoding="UTF-8"?>
<Centro Codigo="28000001" Nombre="IES Prueba" CursoEscolar="2026-2027" Version="1">
  <Materias>
    <Materia Codigo="MAT" Denominacion="Matemáticas"/>
    <Materia Codigo="LEN" Denominacion="Lengua"/>
  </Materias>
  <Profesores>
    <Profesor Codigo="ANA" Nombre="Ana" Apellido1="Pérez" Apellido2="Gil" CodigoDep=""/>
  </Profesores>
  <Sesiones>
    <Sesion Dia="L" HoraInicio="08:00" HoraFin="08:55"/>
    <Sesion Dia="M" HoraInicio="08:00" HoraFin="08:55"/>
  </Sesiones>
</Centro>
)";

TEST(Cli, UsageErrorsAndHelp) {
  struct Caso {
    std::vector<std::string> args;
    int estado;
  };
  for (const Caso& c : {Caso{{}, 2}, Caso{{"convertir", "x.xml"}, 2}, Caso{{"exportar"}, 2},
                        Caso{{"exportar", "a.xml", "b.xml"}, 2},
                        Caso{{"exportar", "a.xml", "--carpeta"}, 2},
                        Caso{{"exportar", "a.xml", "--rapido"}, 2}, Caso{{"--help"}, 0},
                        Caso{{"exportar", "--help"}, 0}}) {
    ResultadoCli s = ordenCli(c.args);
    SCOPED_TRACE(testing::PrintToString(c.args));
    EXPECT_EQ(s.estado, c.estado);
    EXPECT_NE((c.estado == 0 ? s.out : s.err).find("Uso:"), std::string::npos);
  }
}

TEST(Cli, NoInputFile) {
  CarpetaTemporal tmp;
  ResultadoCli s = ordenCli({"exportar", (tmp / "no-existe.xml").string(), "--carpeta",
                       (tmp / "XCAMBIO").string(), "--json"});
  EXPECT_EQ(s.estado, 3);
  EXPECT_NE(s.err.find("No existe archivo"), std::string::npos);
  EXPECT_EQ(s.out.rfind("{\"resultado\":\"sin_entrada\",", 0), 0u) << s.out;
  EXPECT_NE(s.out.find("\"mensaje\":\"No existe archivo\""), std::string::npos) << s.out;
  EXPECT_FALSE(fs::exists(tmp / "XCAMBIO"));
}

TEST(Cli, ADocumentThatIsNotWellFormedIsAnErrorAndTouchesNothing) {
  CarpetaTemporal tmp;
  escribirArchivo(tmp / "roto.xml", "<Centro><Materias></Centro>");
  fs::create_directories(tmp / "XCAMBIO");
  escribirArchivo(tmp / "XCAMBIO" / "PROFT.DBF", "viejo");
  Instantanea antes = instantanea(tmp / "XCAMBIO");
  ResultadoCli s = ordenCli({"exportar", (tmp / "roto.xml").string(), "--json", "--carpeta",
                       (tmp / "XCAMBIO").string()});
  EXPECT_EQ(s.estado, 1);
  EXPECT_NE(s.err.find("El archivo XML no es válido"), std::string::npos) << s.err;
  EXPECT_EQ(s.out.rfind("{\"resultado\":\"error\",", 0), 0u) << s.out;
  EXPECT_NE(s.out.find("\"mensaje\":\"El archivo XML no es válido"), std::string::npos) << s.out;
  EXPECT_EQ(s.out.find('\n'), s.out.size() - 1) << "exactly one JSON object on one line";
  EXPECT_EQ(instantanea(tmp / "XCAMBIO"), antes);
}

TEST(Cli, ExportWritesTheTablesAndReportsThem) {
  CarpetaTemporal tmp;
  escribirArchivo(tmp / "centro.xml", kCentro);
  ResultadoCli s = ordenCli({"exportar", (tmp / "centro.xml").string(), "--carpeta",
                       (tmp / "XCAMBIO").string(), "--json"});
  ASSERT_EQ(s.estado, 0) << s.err;
  for (const char* t : {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "ASIGT", "DIASHORAST", "COUNTSES"}) {
    EXPECT_TRUE(fs::exists(tmp / "XCAMBIO" / (std::string(t) + ".DBF"))) << t;
    EXPECT_NE(s.out.find("\"" + std::string(t) + "\":"), std::string::npos) << s.out;
  }
  EXPECT_EQ(s.out.rfind("{\"resultado\":\"finalizado\",", 0), 0u) << s.out;
  EXPECT_NE(s.out.find("\"ASIGNOMT\":2"), std::string::npos) << s.out;
  EXPECT_NE(s.out.find("\"DIASHORAST\":2"), std::string::npos) << s.out;
  EXPECT_NE(s.out.find("\"avisos\":["), std::string::npos) << s.out;
}

TEST(Cli, DryRunChangesNothing) {
  CarpetaTemporal tmp;
  escribirArchivo(tmp / "centro.xml", kCentro);
  Instantanea antes = instantanea(tmp.ruta());
  ResultadoCli s = ordenCli({"exportar", (tmp / "centro.xml").string(), "--comprobar", "--carpeta",
                       (tmp / "XCAMBIO").string()});
  ASSERT_EQ(s.estado, 0) << s.err;
  EXPECT_NE(s.out.find("ASIGNOMT: 2 filas"), std::string::npos) << s.out;
  EXPECT_EQ(instantanea(tmp.ruta()), antes) << "not even the work folder is created";
}

}  // namespace
