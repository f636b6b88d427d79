// Both directions on the test school: the conversion writes the work tables, a SOLUC is made
// from them as the host would solve it, and the way back maps every placed lesson and task
// to the school's codes, in the document's own encoding, with every outside node kept.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "app/sistema_archivos.h"
#include "apoyo/mundo_solucion.h"
#include "centre_to_timetable/conversion.h"
#include "timetable_to_centre/exportacion_solucion.h"

namespace fs = std::filesystem;
using namespace tov;
using namespace tov::prueba;

namespace {

struct Sesion {
  std::string DIA, HORA, desde, hasta;
};

TEST(Extremo, TheTestSchoolThereAndBack) {
  CarpetaTemporal tmp;
  const fs::path trabajo = tmp / "XCAMBIO";
  const fs::path xml = tmp / "centro.xml";
  fs::copy_file(fs::path(TOV_DATOS) / "ies_ejemplo.xml", xml);
  {
    Conversion conversion;
    conversion.carpeta = trabajo;
    ListaCatalogo codigos, nombres;
    std::vector<std::string> plantillas;
    convertirCentro(xml, conversion, codigos, nombres, plantillas);
  }

  // What the host would read: groups by their ASIGT fields, subjects by their cut code.
  std::map<std::string, std::string> grupos;  // TURNO|NIVEL|CURSO|GRUPO -> ABREV
  std::map<std::string, std::pair<std::string, std::string>> materias;  // CASIG -> COD, code
  std::vector<std::string> tareas;
  std::vector<Sesion> sesiones;
  std::string prof, aula, aulaGestion;
  {
    DbfTable g = DbfTable::open(trabajo, "GRUPOST", Access::Shared);
    for (g.first(); !g.eof(); g.next())
      grupos.emplace(g.text("TURNO") + "|" + g.text("NIVEL") + "|" + g.text("CURSO") + "|" +
                         g.text("GRUPO"),
                     g.text("ABREV"));
    DbfTable a = DbfTable::open(trabajo, "ASIGNOMT", Access::Shared);
    for (a.first(); !a.eof(); a.next()) {
      if (a.text("ESTAREA") == "T") {
        tareas.push_back(a.text("COD"));
        continue;
      }
      std::string casig = a.text("ABREV_GESTION").substr(0, 4);
      while (!casig.empty() && casig.back() == ' ') casig.pop_back();
      materias.emplace(casig, std::make_pair(a.text("COD"), a.text("ABREV_GESTION")));
    }
    DbfTable d = DbfTable::open(trabajo, "DIASHORAST", Access::Shared);
    for (d.first(); !d.eof(); d.next())
      sesiones.push_back({d.text("DIA"), d.text("HORA"), d.text("HORADESDE"), d.text("HORAHASTA")});
    DbfTable p = DbfTable::open(trabajo, "PROFT", Access::Shared);
    p.first();
    prof = p.text("ABREV");
    DbfTable au = DbfTable::open(trabajo, "AULAT", Access::Shared);
    au.first();
    aula = au.text("ABREV");
    aulaGestion = au.text("ABREV_GESTION");
  }
  ASSERT_FALSE(grupos.empty());
  ASSERT_FALSE(materias.empty());
  ASSERT_FALSE(sesiones.empty());
  ASSERT_FALSE(tareas.empty());

  // Each ASIGT row placed as often as it asks, over the grid in turn; then one of each task.
  std::vector<FilaSoluc> soluc;
  std::vector<std::string> esperadas;
  std::size_t siguiente = 0;
  {
    DbfTable t = DbfTable::open(trabajo, "ASIGT", Access::Shared);
    for (t.first(); !t.eof(); t.next()) {
      auto g = grupos.find(t.text("TURNO") + "|" + t.text("NIVEL") + "|" + t.text("CURSO") + "|" +
                           t.text("GRUPO"));
      auto m = materias.find(t.text("CASIG"));
      ASSERT_NE(g, grupos.end()) << "fila " << t.recordNumber() << " de ASIGT";
      ASSERT_NE(m, materias.end()) << "fila " << t.recordNumber() << " de ASIGT";
      for (long n = std::lround(std::ceil(t.real("HORAS"))); n > 0; --n) {
        const Sesion& s = sesiones[siguiente++ % sesiones.size()];
        soluc.push_back({m->second.first, "CLA", s.DIA, s.HORA, g->second, prof, aula});
        esperadas.push_back(actividad("CLA", prof, g->second, m->second.second,
                                      aulaGestion, "", s.desde, s.hasta));
      }
    }
  }
  const std::size_t clases = soluc.size();
  for (const auto& tarea : tareas) {
    const Sesion& s = sesiones[siguiente++ % sesiones.size()];
    soluc.push_back({tarea, tarea, s.DIA, s.HORA, "G1", prof, aula});
    esperadas.push_back(actividad(tarea, prof, "G1", "",
                                  aulaGestion, "", s.desde, s.hasta));
  }
  escribirSoluc(trabajo, soluc);

  Informe informe =
      exportarSolucion(xml, trabajo, SistemaArchivos::real(), rutaResultado(xml));
  for (const auto& a : informe.avisos()) ADD_FAILURE() << a.tipo << ": " << a.mensaje;

  const std::string entrada = leerArchivo(xml);
  std::string salida = leerArchivo(tmp / "ResultadoOrvantcentro.xml");
  // Same declaration and comment, Latin-1 bytes for the school's name.
  const std::size_t raiz = entrada.find("<Centro");
  EXPECT_EQ(salida.substr(0, raiz), entrada.substr(0, raiz));
  EXPECT_NE(salida.find("Nombre=\"IES Guadalquivir de Pe\xF1" "aflor\""), std::string::npos);
  // Values are compared as Latin-1 bytes, the document's encoding; the day letter, which
  // the unit tests check, is blanked.
  std::vector<std::string> escritas = actividadesDe(salida);
  for (auto& e : escritas) {
    const std::size_t p = e.find(" dia=\"") + 6;
    e.erase(p, e.find('"', p) - p);
  }
  EXPECT_EQ(escritas.size(), clases + tareas.size());
  EXPECT_EQ(escritas, esperadas);
}

}  // namespace
