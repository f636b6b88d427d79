// Both directions with a file layer that fails its n-th write, move or removal, for every n:
// the error names the file and nothing stored changes, or the run completes.
#include <gtest/gtest.h>

#include "app/errores.h"
#include "apoyo/archivos_fallidos.h"
#include "apoyo/carpeta_temporal.h"
#include "apoyo/instantanea.h"
#include "apoyo/mundo_solucion.h"
#include "centre_to_timetable/conversion.h"
#include "timetable_to_centre/exportacion_solucion.h"

namespace fs = std::filesystem;
using namespace tov;
using namespace tov::prueba;

namespace {

const char* kCentro = R"(<?xml version="1.0" encoding="UTF-8"?>
<Centro Codigo="1" Nombre="IES Río" CursoEscolar="2026-2027" Version="1">
  <Materias><Materia Codigo="MAT" Denominacion="Matemáticas"/></Materias>
  <Profesores><Profesor Codigo="ANA" Nombre="Ana" Apellido1="Pérez" Apellido2="" CodigoDep=""/></Profesores>
  <Aulas><Aula Codigo="A1" Denominacion="Aula 1"/></Aulas>
  <Grupos>
    <Grupo Codigo="1A" Denominacion="1º A" CodigoEnsenanza="ESO" Turno="M" Curso="1" Letra="A" CodigoTutor="ANA">
      <MateriasGrupo><MateriaGrupo Codigo="MAT" Horas="02,00"/></MateriasGrupo>
    </Grupo>
  </Grupos>
  <Sesiones><Sesion Dia="L" HoraInicio="08:00" HoraFin="08:55"/></Sesiones>
</Centro>
)";

struct Mundo {
  CarpetaTemporal tmp;
  fs::path xml = tmp / "centro.xml";
  fs::path trabajo = tmp / "XCAMBIO";
  ListaCatalogo codigos, nombres;
  std::vector<std::string> plantillas;

  Mundo() {
    escribirArchivo(xml, kCentro);
    convertir(nullptr);  // tables of an earlier run, to be replaced
    escribirSoluc(trabajo, {{"MAT", "CCM", "1", "1", "1A", "ANA", "A1"}});
    escribirArchivo(rutaResultado(xml), "resultado anterior");  // replaced only by a whole one
  }
  void convertir(SistemaArchivos* archivos) {
    Conversion c;
    c.carpeta = trabajo;
    c.archivos = archivos;
    convertirCentro(xml, c, codigos, nombres, plantillas);
  }
};

template <class Ejecutar>
void paraCadaFallo(Ejecutar ejecutar) {
  int fallidas = 0;
  for (int n = 1; n < 1000; ++n) {
    SCOPED_TRACE("fallo en la llamada " + std::to_string(n));
    Mundo m;
    Instantanea antes = instantanea(m.tmp.ruta());
    ArchivosFallidos archivos(n);
    try {
      ejecutar(m, archivos);
    } catch (const ErrorArchivo& e) {
      ++fallidas;
      EXPECT_NE(std::string(e.what()).find(m.tmp.ruta().string()), std::string::npos) << e.what();
      EXPECT_EQ(instantanea(m.tmp.ruta()), antes) << e.what();
      continue;
    }
    if (!archivos.fallo()) break;  // n is past the run's last call
  }
  EXPECT_GT(fallidas, 1);
}

TEST(Fallos, ConversionConLosSieteGeneradores) {
  paraCadaFallo([](Mundo& m, SistemaArchivos& archivos) { m.convertir(&archivos); });
}

TEST(Fallos, ExportacionDeLaSolucion) {
  paraCadaFallo([](Mundo& m, SistemaArchivos& archivos) {
    exportarSolucion(m.xml, m.trabajo, archivos, rutaResultado(m.xml));
  });
}

}  // namespace
