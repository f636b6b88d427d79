// Loading the centre document: encodings, the errors of a broken or foreign document,
// external entities refused without reading anything, line numbers, the test school.
#include "formats/documento_xml.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

#include "app/errores.h"
#include "apoyo/carpeta_temporal.h"
#include "formats/windows1252.h"

namespace fs = std::filesystem;
using namespace tov;
using namespace tov::prueba;

namespace {

std::string mensajeDeCarga(const fs::path& archivo) {
  try {
    XmlDocument::load(archivo);
  } catch (const ErrorXml& e) {
    return e.what();
  }
  return "(se cargó sin error)";
}

std::string nombre(const fs::path& p) {
  const std::u8string u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

// --- Encodings ---

struct CasoCodificacion {
  const char* nombre;
  std::string bytes;
  bool conEuro;  // the file holds € and Š (not in ISO-8859-1)
};

std::string documentoEn(const std::string& declarada, bool conEuro) {
  return "<?xml version=\"1.0\" encoding=\"" + declarada +
         "\"?>\n<Centro Nombre=\"IES Peñaflor\">\n<Profesores>\n"
         "<Profesor Codigo=\"ÍÑG\" Nombre=\"Begoña\" Apellido1=\"Núñez\" Apellido2=\"Ibáñez\"" +
         (conEuro ? std::string(" Otro=\"€ Š\"") : std::string()) +
         "/>\n<Profesor Codigo=\"B\"/>\n</Profesores>\n</Centro>\n";
}

std::string utf16(const std::string& utf8, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";  // byte-order mark
  for (char16_t u : utf8ToUtf16(utf8)) {
    const char alto = static_cast<char>(u >> 8), bajo = static_cast<char>(u & 0xFF);
    out += bigEndian ? alto : bajo;
    out += bigEndian ? bajo : alto;
  }
  return out;
}

TEST(CargaXml, LeeLasCodificacionesQueElArchivoDeclara) {
  std::string latin9 = toWindows1252(utf8ToUtf16(documentoEn("ISO-8859-15", false)));
  // ISO-8859-15 puts € at 0xA4 and Š at 0xA6.
  latin9.insert(latin9.find("/>"), " Otro=\"\xA4 \xA6\"");
  const CasoCodificacion casos[] = {
      {"UTF-8", documentoEn("UTF-8", true), true},
      {"UTF-8 con BOM", "\xEF\xBB\xBF" + documentoEn("UTF-8", true), true},
      {"UTF-16 LE con BOM", utf16(documentoEn("UTF-16", true), false), true},
      {"UTF-16 BE con BOM", utf16(documentoEn("UTF-16", true), true), true},
      {"ISO-8859-1", toWindows1252(utf8ToUtf16(documentoEn("ISO-8859-1", false))), false},
      {"ISO-8859-15", latin9, true},
      {"windows-1252", toWindows1252(utf8ToUtf16(documentoEn("windows-1252", true))), true},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    CarpetaTemporal carpeta;
    escribirArchivo(carpeta / "centro.xml", c.bytes);
    XmlDocument doc = XmlDocument::load(carpeta / "centro.xml");
    EXPECT_EQ(doc.root().attribute("Nombre"), "IES Pe\xF1" "aflor");
    const auto profesores = doc.selectNodes("/Centro/Profesores/Profesor");
    ASSERT_EQ(profesores.size(), 2u);
    const XmlNode& p = profesores[0];
    EXPECT_EQ(p.attributeWide("Codigo"), u"ÍÑG");
    EXPECT_EQ(p.attribute("Nombre"), "Bego\xF1" "a");
    EXPECT_EQ(p.attribute("Apellido1"), "N\xFA\xF1" "ez");
    EXPECT_EQ(p.attribute("Apellido2"), "Ib\xE1\xF1" "ez");
    if (c.conEuro) {
      EXPECT_EQ(p.attribute("Otro"), "\x80 \x8A");
    }
    EXPECT_EQ(p.line(), 4);
    EXPECT_EQ(profesores[1].line(), 5);
  }
}

TEST(CargaXml, RutasConAcentosYEspacios) {
  CarpetaTemporal carpeta;
  const fs::path dir = carpeta / fs::path(u8"carpeta con espacios ñ");
  fs::create_directories(dir);
  const fs::path bueno = dir / fs::path(u8"Año 2025 (copia).xml");
  escribirArchivo(bueno, "<Centro Codigo=\"X\"/>");
  EXPECT_EQ(XmlDocument::load(bueno).root().attribute("Codigo"), "X");

  const fs::path malo = dir / fs::path(u8"Señal rota.xml");
  escribirArchivo(malo, "<Centro>");
  const std::string m = mensajeDeCarga(malo);
  EXPECT_EQ(m.rfind("El archivo XML no es válido: " + nombre(malo) + ": línea 1, columna ", 0), 0u)
      << m;

  const fs::path falta = dir / "no_existe.xml";
  EXPECT_EQ(mensajeDeCarga(falta),
            "No se puede leer el archivo XML " + nombre(falta) + ": No such file or directory");
  // Opened, but reading fails.
  const fs::path carpetaXml = dir / "carpeta.xml";
  fs::create_directories(carpetaXml);
  EXPECT_EQ(mensajeDeCarga(carpetaXml),
            "No se puede leer el archivo XML " + nombre(carpetaXml) + ": error de lectura");
}

// --- Documents that are not a centre document ---

struct CasoError {
  const char* nombre;
  std::string bytes;
  std::string mensaje;  // after "<file>: " for the XML errors; "@" stands for the file
};

TEST(CargaXml, DocumentosNoValidosOAjenos) {
  const std::string risas =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE Centro [\n<!ENTITY r0 \"ja\">\n"
      "<!ENTITY r1 \"&r0;&r0;&r0;&r0;&r0;&r0;&r0;&r0;&r0;&r0;\">\n"
      "<!ENTITY r2 \"&r1;&r1;&r1;&r1;&r1;&r1;&r1;&r1;&r1;&r1;\">\n"
      "<!ENTITY r3 \"&r2;&r2;&r2;&r2;&r2;&r2;&r2;&r2;&r2;&r2;\">\n"
      "<!ENTITY r4 \"&r3;&r3;&r3;&r3;&r3;&r3;&r3;&r3;&r3;&r3;\">\n"
      "<!ENTITY r5 \"&r4;&r4;&r4;&r4;&r4;&r4;&r4;&r4;&r4;&r4;\">\n"
      "<!ENTITY r6 \"&r5;&r5;&r5;&r5;&r5;&r5;&r5;&r5;&r5;&r5;\">\n"
      "<!ENTITY r7 \"&r6;&r6;&r6;&r6;&r6;&r6;&r6;&r6;&r6;&r6;\">\n"
      "<!ENTITY r8 \"&r7;&r7;&r7;&r7;&r7;&r7;&r7;&r7;&r7;&r7;\">\n"
      "<!ENTITY r9 \"&r8;&r8;&r8;&r8;&r8;&r8;&r8;&r8;&r8;&r8;\">\n]>\n";
  const CasoError casos[] = {
      {"etiquetas cruzadas", "<Centro>\n<Materias>\n</Centro>\n",
       "El archivo XML no es válido: @: línea 3, columna 10: Opening and ending tag mismatch: "
       "Materias line 2 and Centro"},
      {"vacio", "", "El archivo XML no es válido: @: línea 1, columna 1: Document is empty"},
      {"sin cerrar", "<Centro>\n  <Aulas>\n",
       "El archivo XML no es válido: @: línea 3, columna 1: Premature end of data in tag Aulas "
       "line 2"},
      {"latin-1 sin declaracion", "<Centro Nombre=\"Pe\xF1" "a\"/>\n",
       "El archivo XML no es válido: @: línea 1, columna 19: Input is not proper UTF-8, indicate "
       "encoding ! Bytes: 0xF1 0x61 0x22 0x2F"},
      {"codificacion desconocida", "<?xml version=\"1.0\" encoding=\"x-klingon\"?>\n<Centro/>\n",
       "El archivo XML no es válido: @: línea 1, columna 41: Unsupported encoding x-klingon"},
      {"entidad sin declarar", "<Centro>\n<A Nombre=\"&nbsp;\"/>\n</Centro>\n",
       "El archivo XML no es válido: @: línea 2, columna 18: Entity 'nbsp' not defined"},
      {"entidad sin declarar con DTD externa",
       "<!DOCTYPE Centro SYSTEM \"centro.dtd\">\n<Centro>\n<A>&nbsp;</A>\n</Centro>\n",
       "El archivo XML no es válido: @: línea 3, columna 10: Entity 'nbsp' not defined"},
      {"prefijo sin declarar", "<Centro>\n<x:A/>\n</Centro>\n",
       "El archivo XML no es válido: @: línea 2, columna 5: Namespace prefix x on A is not "
       "defined"},
      {"mil millones de risas", risas + "<Centro>\n<A>&r9;</A>\n</Centro>\n",
       "El archivo XML no es válido: @: línea 15, columna 8: Detected an entity reference loop"},
      {"risas en un atributo", risas + "<Centro>\n<A B=\"&r9;\"/>\n</Centro>\n",
       "El archivo XML no es válido: @: línea 15, columna 11: Detected an entity reference loop"},
      {"otra raiz", "<?xml version=\"1.0\"?>\n<Horario/>\n",
       "El archivo @ no es un documento de centro: el elemento raíz es Horario, no Centro"},
      {"raiz en minusculas", "<centro/>",
       "El archivo @ no es un documento de centro: el elemento raíz es centro, no Centro"},
      {"raiz con prefijo", "<z:Centro xmlns:z=\"urn:lz\"/>",
       "El archivo @ no es un documento de centro: el elemento raíz es z:Centro, no Centro"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    CarpetaTemporal carpeta;
    const fs::path archivo = carpeta / "centro.xml";
    escribirArchivo(archivo, c.bytes);
    std::string esperado = c.mensaje;
    esperado.replace(esperado.find('@'), 1, nombre(archivo));
    EXPECT_EQ(mensajeDeCarga(archivo), esperado);
  }
  // Nothing of a failed load stays behind for the next document.
  CarpetaTemporal carpeta;
  escribirArchivo(carpeta / "bueno.xml", "<Centro Codigo=\"C1\"/>");
  EXPECT_EQ(XmlDocument::load(carpeta / "bueno.xml").root().attribute("Codigo"), "C1");
}

// --- External entities: refused, and nothing outside the document is read ---

// Watches a folder for files opened in it (Linux inotify).
class VigiaAperturas {
 public:
  explicit VigiaAperturas(const fs::path& carpeta) : fd_(inotify_init1(IN_NONBLOCK)) {
    if (fd_ < 0 || inotify_add_watch(fd_, carpeta.c_str(), IN_OPEN | IN_ACCESS) < 0)
      throw std::runtime_error("inotify");
  }
  ~VigiaAperturas() { close(fd_); }
  std::set<std::string> abiertos() {
    std::set<std::string> nombres;
    alignas(inotify_event) char buf[8192];
    for (ssize_t n; (n = read(fd_, buf, sizeof buf)) > 0;)
      for (char* p = buf; p < buf + n;) {
        auto* e = reinterpret_cast<inotify_event*>(p);
        if (e->len) nombres.insert(e->name);
        p += sizeof(inotify_event) + e->len;
      }
    return nombres;
  }

 private:
  int fd_;
};

// A listening local port: any attempt of the parser to fetch a URL on it would be queued.
class PuertoEscucha {
 public:
  PuertoEscucha() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        listen(fd_, 8) != 0 || getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
      throw std::runtime_error("socket");
    puerto_ = ntohs(a.sin_port);
  }
  ~PuertoEscucha() { close(fd_); }
  int puerto() const { return puerto_; }
  bool alguienLlamo() {
    const int c = accept(fd_, nullptr, nullptr);
    if (c >= 0) close(c);
    return c >= 0;
  }

 private:
  int fd_;
  int puerto_ = 0;
};

struct CasoExterno {
  const char* nombre;
  std::string subconjunto;  // up to two lines of extra declarations inside [ ]
  std::string cuerpo;       // inside <Centro>, starting at line 10
  int linea;                // 0: the document loads
};

TEST(CargaXml, EntidadesExternasSeRechazanSinLeerNada) {
  CarpetaTemporal carpeta;
  escribirArchivo(carpeta / "secreto.txt", "CONTENIDO_SECRETO");
  escribirArchivo(carpeta / "centro.dtd", "<!ATTLIST Centro Nombre CDATA \"DE_LA_DTD\">\n");
  escribirArchivo(carpeta / "param.dtd", "<!ENTITY desdeParam \"CONTENIDO_SECRETO\">\n");
  PuertoEscucha red;
  const std::string url = "http://127.0.0.1:" + std::to_string(red.puerto());
  // Absolute paths: the document has no base from which a relative one would resolve.
  auto ruta = [&](const char* archivo) { return nombre(carpeta / archivo); };

  const CasoExterno casos[] = {
      {"declaradas sin usar: se admite", "", "<A/>", 0},
      {"referencia en el contenido", "", "<A>\n&secreto;</A>", 11},
      {"referencia a una URL", "", "<A>&red;</A>", 10},
      {"referencia en un atributo", "", "<A\n B=\"&secreto;\"/>", 11},
      {"dentro de una entidad interna", "<!ENTITY envoltura \"antes &secreto; despues\">\n",
       "\n\n<A>&envoltura;</A>", 12},
      {"entidad de parametro externa", "%param;\n", "<A/>", 6},
      {"entidad no analizada",
       "<!NOTATION png SYSTEM \"image/png\">\n<!ENTITY imagen SYSTEM \"imagen.png\" NDATA png>\n",
       "<A>&imagen;</A>", 10},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    // Lines 6 and 7 hold the case's own declarations, so the body starts at line 10.
    std::string subconjunto = c.subconjunto;
    while (std::count(subconjunto.begin(), subconjunto.end(), '\n') < 2) subconjunto += "\n";
    const std::string xml =
        "<?xml version=\"1.0\"?>\n"
        "<!DOCTYPE Centro SYSTEM \"" + ruta("centro.dtd") + "\" [\n"
        "<!ENTITY secreto SYSTEM \"" + ruta("secreto.txt") + "\">\n"
        "<!ENTITY red SYSTEM \"" + url + "/entidad.xml\">\n"
        "<!ENTITY % param SYSTEM \"" + ruta("param.dtd") + "\">\n" +
        subconjunto +
        "]>\n<Centro xmlns:xi=\"http://www.w3.org/2001/XInclude\">\n" + c.cuerpo +
        "<xi:include href=\"" + ruta("secreto.txt") + "\" parse=\"text\"/><xi:include href=\"" + url +
        "/x.xml\"/>\n</Centro>\n";
    const fs::path archivo = carpeta / "centro.xml";
    escribirArchivo(archivo, xml);

    VigiaAperturas vigia(carpeta.ruta());
    const std::string m = mensajeDeCarga(archivo);
    if (c.linea == 0) {
      EXPECT_EQ(m, "(se cargó sin error)");
      const XmlDocument doc = XmlDocument::load(archivo);
      EXPECT_FALSE(doc.root().hasAttribute("Nombre"));  // the DTD's default is not applied
    } else {
      EXPECT_EQ(m, "El archivo XML usa entidades externas, que no se admiten: " +
                       nombre(archivo) + ": línea " + std::to_string(c.linea));
    }
    EXPECT_EQ(m.find("CONTENIDO_SECRETO"), std::string::npos);
    const auto abiertos = vigia.abiertos();
    EXPECT_EQ(abiertos.count("secreto.txt"), 0u);
    EXPECT_EQ(abiertos.count("centro.dtd"), 0u);
    EXPECT_EQ(abiertos.count("param.dtd"), 0u);
    EXPECT_EQ(abiertos.count("centro.xml"), 1u);  // the watch works
    EXPECT_FALSE(red.alguienLlamo());
  }
}

// --- Line numbers ---

TEST(CargaXml, LineaDeLaEtiquetaDeApertura) {
  CarpetaTemporal carpeta;
  escribirArchivo(carpeta / "centro.xml",
                  "<?xml version=\"1.0\"?>\r\n<Centro>\r\n  <Aulas>\r\n"
                  "    <Aula Codigo=\"A1\"/><Aula Codigo=\"A2\"/>\r\n"
                  "    <Aula\r\n      Codigo=\"A3\"\r\n      Denominacion=\"Tres\r\nlineas\"/>\r\n"
                  "    <!-- >\r\n -->\r\n    <Aula Codigo=\"A4\"\r\n/>\r\n  </Aulas>\r\n</Centro>\r\n");
  const XmlDocument doc = XmlDocument::load(carpeta / "centro.xml");
  std::vector<int> lineas;
  for (const XmlNode& a : doc.selectNodes("/Centro/Aulas/Aula")) lineas.push_back(a.line());
  EXPECT_EQ(lineas, (std::vector<int>{4, 4, 5, 11}));
  EXPECT_EQ(doc.root().line(), 2);
}

// The file reaches the parser in blocks: a start tag far into it, longer than any block and
// over several lines, still gets the line where it starts.
TEST(CargaXml, EtiquetaLargaLejosDelPrincipio) {
  CarpetaTemporal carpeta;
  std::string xml = "<Centro>\n<Materias>\n";
  for (int i = 0; i < 20000; ++i) xml += "<Materia Codigo=\"R" + std::to_string(i) + "\"/>\n";
  const std::string largo(300000, 'x');
  xml += "<Materia\n Codigo=\"FIN\"\n Denominacion=\"" + largo + "\"/>\n</Materias>\n</Centro>\n";
  escribirArchivo(carpeta / "centro.xml", xml);
  for (auto keep : {XmlDocument::Keep::Everything, XmlDocument::Keep::Elements}) {
    const XmlDocument doc = XmlDocument::load(carpeta / "centro.xml", keep);
    const auto materias = doc.selectNodes("/Centro/Materias/Materia");
    ASSERT_EQ(materias.size(), 20001u);
    EXPECT_EQ(materias[19999].line(), 20002);
    EXPECT_EQ(materias[20000].line(), 20003);
    EXPECT_EQ(materias[20000].attribute("Codigo"), "FIN");
    EXPECT_EQ(materias[20000].attribute("Denominacion"), largo);
  }
}

TEST(CargaXml, LineasPorEncimaDe65535) {
  CarpetaTemporal carpeta;
  std::string xml = "<Centro>\n<Materias>\n";
  for (int i = 0; i < 70000; ++i) xml += "<!-- relleno -->\n";
  // Line 70003 onwards.
  xml += "<Materia Codigo=\"M1\"/>\n<Materia\n Codigo=\"M2\"/>\n</Materias>\n";
  escribirArchivo(carpeta / "centro.xml", xml + "</Centro>\n");
  const XmlDocument doc = XmlDocument::load(carpeta / "centro.xml");
  const auto materias = doc.selectNodes("/Centro/Materias/Materia");
  ASSERT_EQ(materias.size(), 2u);
  EXPECT_EQ(materias[0].line(), 70003);
  EXPECT_EQ(materias[1].line(), 70004);
  EXPECT_EQ(materias[0].parent().line(), 2);

  escribirArchivo(carpeta / "roto.xml", xml + "<Aula>\n</Centro>\n");
  EXPECT_EQ(mensajeDeCarga(carpeta / "roto.xml"),
            "El archivo XML no es válido: " + nombre(carpeta / "roto.xml") +
                ": línea 70008, columna 10: Opening and ending tag mismatch: Aula line 70007 and "
                "Centro");
}

// --- The test school (ISO-8859-1) ---

TEST(CargaXml, ElInstitutoDeEjemplo) {
  const XmlDocument doc = XmlDocument::load(fs::path(TOV_DATOS) / "ies_ejemplo.xml");
  const XmlNode centro = doc.root();
  EXPECT_EQ(centro.attribute("Codigo"), "41009876");
  EXPECT_EQ(centro.attribute("Nombre"), utf8ToWindows1252("IES Guadalquivir de Peñaflor"));
  EXPECT_EQ(centro.attribute("CursoEscolar"), "2025-2026");
  EXPECT_EQ(centro.attribute("Version"), "3.2");

  const auto materias = doc.selectNodes("/Centro/Materias/Materia");
  const auto tipos = doc.selectNodes("/Centro/TiposActividad/TipoActividad");
  const auto departamentos = doc.selectNodes("/Centro/Departamentos/Departamento");
  const auto profesores = doc.selectNodes("/Centro/Profesores/Profesor");
  const auto aulas = doc.selectNodes("/Centro/Aulas/Aula");
  const auto ensenanzas = doc.selectNodes("/Centro/Ensenanzas/Ensenanza");
  const auto grupos = doc.selectNodes("/Centro/Grupos/Grupo");
  const auto cargas = doc.selectNodes("/Centro/Grupos/Grupo/MateriasGrupo/MateriaGrupo");
  const auto sesiones = doc.selectNodes("/Centro/Sesiones/Sesion");
  EXPECT_EQ(materias.size(), 31u);
  EXPECT_EQ(tipos.size(), 7u);
  EXPECT_EQ(departamentos.size(), 15u);
  EXPECT_EQ(profesores.size(), 30u);
  EXPECT_EQ(aulas.size(), 14u);
  EXPECT_EQ(ensenanzas.size(), 3u);
  EXPECT_EQ(grupos.size(), 12u);
  EXPECT_EQ(cargas.size(), 138u);
  EXPECT_EQ(sesiones.size(), 30u);

  const XmlNode& primera = materias.front();
  EXPECT_EQ(primera.line(), 5);
  EXPECT_EQ(primera.attribute("Codigo"), "LCL");
  const XmlNode& ana = profesores.front();
  EXPECT_EQ(ana.attribute("Codigo"), "AGM");
  EXPECT_EQ(ana.attribute("Apellido2"), "Mu\xF1oz");
  std::u16string perdidos;
  EXPECT_EQ(profesores[3].attribute("Nombre", &perdidos), "M\xAA Jes\xFAs");
  EXPECT_TRUE(perdidos.empty());
  EXPECT_EQ(profesores[4].attributeWide("Nombre"), u"Íñigo");

  // The references inside the school hold together: departments, courses of study,
  // subjects; tutors are teachers except the one vacant post.
  auto conjunto = [](const std::vector<XmlNode>& lista) {
    std::set<std::u16string> s;
    for (const XmlNode& n : lista) s.insert(n.attributeWide("Codigo"));
    return s;
  };
  const auto deps = conjunto(departamentos), ens = conjunto(ensenanzas),
             mats = conjunto(materias), profs = conjunto(profesores);
  EXPECT_EQ(mats.size(), materias.size());
  int sinDepartamento = 0;
  for (const XmlNode& p : profesores) {
    const std::u16string dep = p.attributeWide("CodigoDep");
    if (dep.empty()) ++sinDepartamento;
    else EXPECT_TRUE(deps.count(dep)) << utf16ToUtf8(dep);
  }
  EXPECT_EQ(sinDepartamento, 1);
  std::vector<std::string> tutoresAjenos;
  for (const XmlNode& g : grupos) {
    EXPECT_TRUE(ens.count(g.attributeWide("CodigoEnsenanza")));
    if (!profs.count(g.attributeWide("CodigoTutor")))
      tutoresAjenos.push_back(g.attribute("CodigoTutor"));
  }
  EXPECT_EQ(tutoresAjenos, std::vector<std::string>{"VACANTE3"});
  std::map<std::string, int> porGrupo;
  std::set<std::string> horas;
  for (const XmlNode& m : cargas) {
    EXPECT_TRUE(mats.count(m.attributeWide("Codigo")));
    ++porGrupo[m.parent().parent().attribute("Codigo")];
    horas.insert(m.attribute("Horas"));
  }
  EXPECT_EQ(porGrupo.size(), 12u);
  EXPECT_EQ(porGrupo["2BACHA"], 8);
  EXPECT_TRUE(horas.count("02,50") && horas.count("00,00") && horas.count("04,00"));
  std::map<std::string, int> porDia;
  for (const XmlNode& s : sesiones) ++porDia[s.attribute("Dia")];
  EXPECT_EQ(porDia, (std::map<std::string, int>{{"J", 6}, {"L", 6}, {"M", 6}, {"V", 6}, {"X", 6}}));
  EXPECT_EQ(sesiones.front().attribute("HoraInicio"), "08:15");
  EXPECT_EQ(sesiones.back().attribute("HoraFin"), "14:45");
}

}  // namespace
