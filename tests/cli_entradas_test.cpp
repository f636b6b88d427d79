// What users' files and machines do to a conversion: every bad input and every decided error
// gives a Spanish message that names the file, element or row, the right exit status, and
// leaves everything stored as it was.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "apoyo/carpeta_temporal.h"
#include "apoyo/instantanea.h"
#include "apoyo/mundo_solucion.h"
#include "apoyo/orden_cli.h"
#include "formats/tabla_dbase.h"

namespace fs = std::filesystem;
using namespace tov;
using namespace tov::prueba;

namespace {

const char* kCentro = R"(<?xml version="1.0" encoding="UTF-8"?>
<Centro Codigo="28000001" Nombre="IES Álamo" CursoEscolar="2026-2027" Version="1">
  <Materias>
    <Materia Codigo="MAT" Denominacion="Matemáticas"/>
    <Materia Codigo="LEN" Denominacion="Lengua"/>
  </Materias>
  <Profesores>
    <Profesor Codigo="ANA" Nombre="Ana" Apellido1="Pérez" Apellido2="Gil" CodigoDep=""/>
  </Profesores>
  <Aulas><Aula Codigo="A1" Denominacion="Aula 1"/></Aulas>
  <Grupos>
    <Grupo Codigo="1A" Denominacion="1º A" CodigoEnsenanza="ESO" Turno="M" Curso="1" Letra="A" CodigoTutor="ANA">
      <MateriasGrupo><MateriaGrupo Codigo="MAT" Horas="03,00"/></MateriasGrupo>
    </Grupo>
  </Grupos>
  <Sesiones>
    <Sesion Dia="L" HoraInicio="08:00" HoraFin="08:55"/>
    <Sesion Dia="M" HoraInicio="08:00" HoraFin="08:55"/>
  </Sesiones>
</Centro>
)";

// A school converted once, with a SOLUC solved for it: the state a user's machine is in.
struct Mundo {
  CarpetaTemporal tmp;
  fs::path datos = tmp / "datos";
  fs::path xml = datos / "centro.xml";
  fs::path trabajo = tmp / "XCAMBIO";

  Mundo() {
    fs::create_directories(datos);
    escribirArchivo(xml, kCentro);
    ResultadoCli s = ordenCli({"exportar", xml.string(), "--carpeta", trabajo.string()});
    if (s.estado != 0) ADD_FAILURE() << s.err;
    escribirSoluc(trabajo, {{"MAT", "CCM", "1", "1", "1A", "ANA", "A1"}});
  }
  std::vector<std::string> orden(const char* que) const {
    return {que, xml.string(), "--carpeta", trabajo.string()};
  }
  Instantanea foto() const { return instantanea(tmp.ruta()); }
};

// Holds a table the way another program would, until the returned function is called.
std::function<void()> retenerTabla(const fs::path& carpeta, const std::string& tabla) {
  int tubo[2];
  if (pipe(tubo) != 0) return [] {};
  pid_t hijo = fork();
  if (hijo == 0) {
    DbfTable t = DbfTable::open(carpeta, tabla, Access::Exclusive);
    char c = 'x';
    (void)!write(tubo[1], &c, 1);
    pause();
    _exit(0);
  }
  char c;
  (void)!read(tubo[0], &c, 1);
  return [=] {
    kill(hijo, SIGKILL);
    waitpid(hijo, nullptr, 0);
    close(tubo[0]);
    close(tubo[1]);
  };
}

struct Caso {
  const char* nombre;
  const char* orden;  // "exportar" or "importar"
  std::function<void(Mundo&)> preparar;
  std::vector<std::string> dice;  // fragments of the message; "{xml}", "{trabajo}" expand
  int estado = 1;
};

std::string expandir(std::string s, const Mundo& m) {
  for (auto [clave, valor] : {std::pair<std::string, std::string>{"{xml}", m.xml.string()},
                              {"{trabajo}", m.trabajo.string()}}) {
    for (auto p = s.find(clave); p != std::string::npos; p = s.find(clave))
      s.replace(p, clave.size(), valor);
  }
  return s;
}

void reemplazarEnDocumento(Mundo& m, const std::string& de, const std::string& a) {
  std::string doc = kCentro;
  doc.replace(doc.find(de), de.size(), a);
  escribirArchivo(m.xml, doc);
}

const std::vector<Caso>& casos() {
  static const std::vector<Caso> c = {
      {"documento mal formado", "exportar",
       [](Mundo& m) { escribirArchivo(m.xml, "<Centro>\n<Materias>\n</Centro>\n"); },
       {"El archivo XML no es válido: {xml}: línea 3"}},
      {"raiz que no es Centro", "exportar",
       [](Mundo& m) { escribirArchivo(m.xml, "<?xml version=\"1.0\"?>\n<Escuela/>\n"); },
       {"El archivo {xml} no es un documento de centro: el elemento raíz es Escuela, no Centro"}},
      {"raiz sin Version al volver", "importar",
       [](Mundo& m) { reemplazarEnDocumento(m, " Version=\"1\"", ""); },
       {"{xml}", "Version"}},
      {"Horas que no son un numero", "exportar",
       [](Mundo& m) { reemplazarEnDocumento(m, "\"03,00\"", "\"tres\""); },
       {"Horas no válidas en la materia MAT del grupo 1A (línea 13): 'tres'"}},
      {"hora de sesion mal escrita", "exportar",
       [](Mundo& m) { reemplazarEnDocumento(m, "\"08:55\"/>\n    <Sesion Dia=\"M\"", "\"8h55\"/>\n    <Sesion Dia=\"M\""); },
       {"Hora no válida en la sesión de la línea 17: '8h55'"}},
      {"mil millones de risas", "exportar",
       [](Mundo& m) {
         std::string doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE Centro [\n<!ENTITY l0 \"risa\">\n";
         for (int i = 1; i <= 10; ++i) {
           std::string r = "&l" + std::to_string(i - 1) + ";";
           std::string v;
           for (int k = 0; k < 10; ++k) v += r;
           doc += "<!ENTITY l" + std::to_string(i) + " \"" + v + "\">\n";
         }
         doc += "]>\n<Centro><Materias><Materia Codigo=\"&l10;\"/></Materias></Centro>\n";
         escribirArchivo(m.xml, doc);
       },
       {"El archivo XML no es válido: {xml}"}},
      {"entidad externa", "exportar",
       [](Mundo& m) {
         escribirArchivo(m.datos / "secreto.txt", "secreto");
         escribirArchivo(m.xml,
                         "<?xml version=\"1.0\"?>\n<!DOCTYPE Centro [\n<!ENTITY s SYSTEM \"secreto.txt\">\n]>\n"
                         "<Centro><Materias><Materia Codigo=\"&s;\"/></Materias></Centro>\n");
       },
       {"El archivo XML usa entidades externas, que no se admiten: {xml}: línea"}},
      {"SOLUC sin el campo PROF", "importar",
       [](Mundo& m) {
         DbfTable::create(m.trabajo, "SOLUC",
                          {{"ASIG", FieldType::Text, 4}, {"TAREA", FieldType::Text, 4},
                           {"DIA", FieldType::Text, 2}, {"HORA", FieldType::Text, 3},
                           {"CODGRUPO", FieldType::Text, 4}, {"AULA", FieldType::Text, 4}});
         DbfTable t = DbfTable::open(m.trabajo, "SOLUC", Access::Shared);
         t.append();
         t.setText("ASIG", "MAT");
         t.setText("DIA", "1");
         t.setText("HORA", "1");
         t.setText("CODGRUPO", "1A");
         t.post();
         t.close();
       },
       {"SOLUC", "PROF"}},
      {"DIA que no es un numero", "importar",
       [](Mundo& m) { escribirSoluc(m.trabajo, {{"MAT", "CCM", "x", "1", "1A", "ANA", "A1"}}); },
       {"SOLUC", "DIA", "'x'"}},
      {"SOLUC truncada", "importar",
       [](Mundo& m) {
         std::string bytes = leerArchivo(m.trabajo / "SOLUC.DBF");
         escribirArchivo(m.trabajo / "SOLUC.DBF", bytes.substr(0, 40));
       },
       {"SOLUC.DBF"}},
      {"carpeta de trabajo que no se puede escribir", "exportar",
       [](Mundo& m) {
         // A folder where the new ASIGNOMT.DBF must go: no rename replaces it, not even as root.
         fs::remove(m.trabajo / "ASIGNOMT.DBF");
         fs::create_directories(m.trabajo / "ASIGNOMT.DBF" / "dentro");
       },
       {"ASIGNOMT.DBF"}},
      {"un archivo donde va la carpeta de trabajo", "exportar",
       [](Mundo& m) {
         fs::remove_all(m.trabajo);
         escribirArchivo(m.trabajo, "no soy una carpeta");
       },
       {"{trabajo}"}},
  };
  return c;
}

class EntradasMalas : public testing::TestWithParam<Caso> {};

TEST_P(EntradasMalas, ElMensajeDiceDondeYNadaSePierde) {
  const Caso& c = GetParam();
  Mundo m;
  c.preparar(m);
  Instantanea antes = m.foto();
  ResultadoCli s = ordenCli(m.orden(c.orden));
  EXPECT_EQ(s.estado, c.estado) << s.err;
  for (const auto& fragmento : c.dice)
    EXPECT_NE(s.err.find(expandir(fragmento, m)), std::string::npos)
        << "falta «" << expandir(fragmento, m) << "» en: " << s.err;
  EXPECT_EQ(m.foto(), antes);
}

INSTANTIATE_TEST_SUITE_P(Casos, EntradasMalas, testing::ValuesIn(casos()),
                         [](const auto& info) {
                           std::string n;
                           for (char ch : std::string(info.param.nombre))
                             n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return n;
                         });

TEST(TablaRetenida, PorOtroProgramaDetieneAmbasDireccionesSinCambiarNada) {
  struct Uso {
    const char* orden;
    const char* tabla;
  };
  for (const Uso& u : {Uso{"exportar", "PROFT"}, Uso{"importar", "GRUPOST"}}) {
    SCOPED_TRACE(u.orden);
    Mundo m;
    Instantanea antes = m.foto();
    auto soltar = retenerTabla(m.trabajo, u.tabla);
    ResultadoCli s = ordenCli(m.orden(u.orden));
    soltar();
    EXPECT_EQ(s.estado, 1);
    EXPECT_NE(s.err.find("La tabla " + (m.trabajo / u.tabla).string()), std::string::npos) << s.err;
    EXPECT_NE(s.err.find("está en uso por otro programa"), std::string::npos) << s.err;
    EXPECT_EQ(m.foto(), antes);
    EXPECT_EQ(ordenCli(m.orden(u.orden)).estado, 0) << "once the table is free the run completes";
  }
}

TEST(NombresYRutas, ConEspaciosAcentosYEne) {
  CarpetaTemporal tmp;
  fs::path carpeta = tmp / "Centro Ñandú";
  fs::path xml = carpeta / "IES Álamo.xml";
  fs::path trabajo = tmp / "Trabajo común";
  fs::create_directories(carpeta);
  escribirArchivo(xml, kCentro);
  ResultadoCli ida = ordenCli({"exportar", xml.string(), "--carpeta", trabajo.string()});
  ASSERT_EQ(ida.estado, 0) << ida.err;
  escribirSoluc(trabajo, {{"MAT", "CCM", "1", "1", "1A", "ANA", "A1"}});
  ResultadoCli vuelta = ordenCli({"importar", xml.string(), "--carpeta", trabajo.string()});
  ASSERT_EQ(vuelta.estado, 0) << vuelta.err;
  std::string resultado = leerArchivo(carpeta / "ResultadoOrvantIES Álamo.xml");
  EXPECT_NE(resultado.find("codigoGrupo=\"1A\""), std::string::npos) << resultado;
  EXPECT_NE(resultado.find("Nombre=\"IES Álamo\""), std::string::npos) << resultado;
}

}  // namespace
