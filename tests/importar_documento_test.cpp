// The timetable document: the loaded document's outside nodes kept, the new root with its
// five attributes and horario, actividad attributes in order, encodings, the export stamp,
// and saving that never leaves a partial file.
#include "timetable_to_centre/documento_horario.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <locale.h>

#include <cstdlib>
#include <optional>
#include <regex>

#include "app/errores.h"
#include "apoyo/archivos_fallidos.h"
#include "apoyo/carpeta_temporal.h"
#include "apoyo/mundo_solucion.h"
#include "formats/documento_xml.h"
#include "formats/windows1252.h"

namespace fs = std::filesystem;
using namespace tov;
using namespace tov::prueba;

namespace {

constexpr const char* kFecha = "11/12/26 14:05:09";

// Builds the timetable document on `xml` with these activities and returns its bytes.
std::string construir(const std::string& xml, const std::vector<Actividad>& actividades = {}) {
  CarpetaTemporal tmp;
  escribirArchivo(tmp / "centro.xml", xml);
  DocumentoHorario doc(XmlDocument::load(tmp / "centro.xml"), kFecha);
  for (const auto& a : actividades) doc.agregarActividad(a);
  return doc.serializar();
}

const Actividad kClase{"CLA", "P1", "1A", "MATEMATICA", "AULA-101", "L", "08:00", "08:55"};
const Actividad kTarea{"GUAR", "", "1A", "", "", "M", "08:55", "09:50"};

struct CasoDocumento {
  const char* nombre;
  std::string entrada;
  std::vector<Actividad> actividades;
  std::string salida;
};

class Documento : public testing::TestWithParam<CasoDocumento> {};

TEST_P(Documento, WritesTheNewRootAmongTheKeptNodes) {
  const CasoDocumento& c = GetParam();
  EXPECT_EQ(construir(c.entrada, c.actividades), c.salida);
}

const std::string kRaiz =
    "<Centro Codigo=\"28001\" Nombre=\"IES Sierra\" CursoEscolar=\"2025/2026\" "
    "FechaExportacion=\"11/12/26 14:05:09\" Version=\"3\">\n";

INSTANTIATE_TEST_SUITE_P(
    Casos, Documento,
    testing::Values(
        CasoDocumento{
            "ComentariosEInstruccionesAntesYDespuesDeLaRaiz",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!-- exportado por el centro -->\n"
            "<?lumbra version=\"2\"?>\n"
            "<Centro Codigo=\"28001\" Nombre=\"IES Sierra\" CursoEscolar=\"2025/2026\" "
            "Version=\"3\"><Materias/></Centro>\n"
            "<!-- fin -->\n"
            "<?despues x?>\n",
            {kClase, kTarea},
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!-- exportado por el centro -->\n"
            "<?lumbra version=\"2\"?>\n"
            "<!-- fin -->\n"
            "<?despues x?>\n" +
                kRaiz +
                "  <horario>\n"
                "    <actividad tipo=\"CLA\" codigoProfesor=\"P1\" codigoGrupo=\"1A\" "
                "codigoMateria=\"MATEMATICA\" codigoAula=\"AULA-101\" dia=\"L\" "
                "HoraInicio=\"08:00\" HoraFin=\"08:55\"/>\n"
                "    <actividad tipo=\"GUAR\" codigoProfesor=\"\" codigoGrupo=\"1A\" "
                "codigoMateria=\"\" codigoAula=\"\" dia=\"M\" HoraInicio=\"08:55\" "
                "HoraFin=\"09:50\"/>\n"
                "  </horario>\n"
                "</Centro>\n"},
        CasoDocumento{
            "AtributosYHijosDeMasSeQuitanYLaCabeceraSeRecorta",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Centro xmlns=\"urn:lumbra\" Extra=\"x\" Version=\"3\t\" FechaExportacion=\"vieja\" "
            "CursoEscolar=\"\n2025/2026 \" Nombre=\"  IES Sierra \" Codigo=\"28001\">\n"
            "  <Materias><Materia Codigo=\"M\"/></Materias>texto<horario/>\n"
            "</Centro>\n",
            {},
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + kRaiz +
                "  <horario/>\n"
                "</Centro>\n"},
        CasoDocumento{
            "SinDeclaracionSeEscribeEnUtf8ConDeclaracion",
            "<Centro Codigo=\"28001\" Nombre=\"IES Sierra\" CursoEscolar=\"2025/2026\" "
            "Version=\"3\"/>",
            {},
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + kRaiz +
                "  <horario/>\n"
                "</Centro>\n"},
        CasoDocumento{
            "TipoDeDocumentoYStandaloneSeConservan",
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<!DOCTYPE Centro>\n"
            "<Centro Codigo=\"28001\" Nombre=\"IES Sierra\" CursoEscolar=\"2025/2026\" "
            "Version=\"3\"/>\n",
            {},
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<!DOCTYPE Centro>\n" +
                kRaiz +
                "  <horario/>\n"
                "</Centro>\n"},
        CasoDocumento{
            "ValoresEscapadosYConvertidosDesdeWindows1252",
            "<Centro Codigo=\"a&amp;b\" Nombre=\"IES Pe\xC3\xB1" "a\" CursoEscolar=\"&lt;1&gt;\" "
            "Version=\"&quot;3&quot;\"/>",
            {{"T&\"<>'", "\xD1", "", "", "", "", "", "\x80"}},
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Centro Codigo=\"a&amp;b\" Nombre=\"IES Pe\xC3\xB1" "a\" CursoEscolar=\"&lt;1&gt;\" "
            "FechaExportacion=\"11/12/26 14:05:09\" Version=\"&quot;3&quot;\">\n"
            "  <horario>\n"
            "    <actividad tipo=\"T&amp;&quot;&lt;&gt;'\" codigoProfesor=\"\xC3\x91\" "
            "codigoGrupo=\"\" codigoMateria=\"\" codigoAula=\"\" dia=\"\" HoraInicio=\"\" "
            "HoraFin=\"\xE2\x82\xAC\"/>\n"
            "  </horario>\n"
            "</Centro>\n"}),
    [](const auto& info) { return std::string(info.param.nombre); });

// The output is written in the encoding that the kept declaration names.
TEST(DocumentoCodificacion, KeepsTheDeclaredEncoding) {
  struct Caso {
    const char* codificacion;
    std::string nombreEntrada;      // Nombre="IES Peña" in that encoding
    std::string profesorEsperado;   // codigoProfesor "Ñ€" as written in that encoding
  };
  const Caso casos[] = {
      {"ISO-8859-1", "IES Pe\xF1" "a", "\xD1&#8364;"},  // Latin-1 has no euro sign
      {"windows-1252", "IES Pe\xF1" "a", "\xD1\x80"},
      {"UTF-8", "IES Pe\xC3\xB1" "a", "\xC3\x91\xE2\x82\xAC"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.codificacion);
    const std::string declaracion =
        std::string("<?xml version=\"1.0\" encoding=\"") + c.codificacion + "\"?>\n";
    const std::string salida = construir(
        declaracion + "<Centro Codigo=\"1\" Nombre=\"" + c.nombreEntrada +
            "\" CursoEscolar=\"2025\" Version=\"3\"/>\n",
        {{"CLA", "\xD1\x80", "", "", "", "", "", ""}});
    EXPECT_EQ(salida.rfind(declaracion, 0), 0u) << salida;
    EXPECT_NE(salida.find("Nombre=\"" + c.nombreEntrada + "\""), std::string::npos) << salida;
    EXPECT_NE(salida.find("codigoProfesor=\"" + c.profesorEsperado + "\""), std::string::npos)
        << salida;
  }
}

// What libxml2's serialiser makes of the same actividad elements built as nodes: the
// document written without them is read back, they are added to its horario with
// xmlNewProp, and it is written again in `codificacion`.
std::string segunLibxml2(const std::string& sinActividades, const std::vector<Actividad>& actividades,
                         const char* codificacion) {
  xmlDocPtr doc = xmlReadMemory(sinActividades.data(), static_cast<int>(sinActividades.size()),
                                nullptr, nullptr, XML_PARSE_NONET);
  if (!doc) return "no se puede leer";
  xmlNodePtr horario = xmlDocGetRootElement(doc)->children;
  while (horario && horario->type != XML_ELEMENT_NODE) horario = horario->next;
  const auto X = [](const char* s) { return reinterpret_cast<const xmlChar*>(s); };
  for (const Actividad& a : actividades) {
    xmlAddChild(horario, xmlNewDocText(doc, X("\n    ")));
    xmlNodePtr e = xmlNewChild(horario, nullptr, X("actividad"), nullptr);
    for (const auto& [nombre, valor] :
         {std::pair<const char*, std::string>{"tipo", a.tipo}, {"codigoProfesor", a.codigoProfesor},
          {"codigoGrupo", a.codigoGrupo}, {"codigoMateria", a.codigoMateria},
          {"codigoAula", a.codigoAula}, {"dia", a.dia}, {"HoraInicio", a.HoraInicio},
          {"HoraFin", a.HoraFin}})
      xmlNewProp(e, X(nombre), X(windows1252ToUtf8(valor).c_str()));
  }
  xmlAddChild(horario, xmlNewDocText(doc, X("\n  ")));
  xmlChar* memoria = nullptr;
  int tamano = 0;
  xmlDocDumpFormatMemoryEnc(doc, &memoria, &tamano, codificacion, 0);
  std::string bytes(reinterpret_cast<const char*>(memoria), static_cast<std::size_t>(tamano));
  xmlFree(memoria);
  xmlFreeDoc(doc);
  return bytes;
}

// Every byte a table value can hold, in every kind of declared encoding (one byte, one that
// lacks most of them, two bytes with a byte order mark), comes out as the serialiser of the
// nodes writes it: escapes, character references for what the encoding lacks, the end at a
// NUL byte.
TEST(DocumentoCodificacion, ActividadBytesMatchLibxml2sOwnSerialiser) {
  std::vector<Actividad> actividades;
  for (int desde = 1; desde < 256; desde += 64) {
    Actividad a;
    std::string* campos[] = {&a.tipo, &a.codigoProfesor, &a.codigoGrupo, &a.codigoMateria,
                             &a.codigoAula, &a.dia, &a.HoraInicio, &a.HoraFin};
    for (int b = desde; b < desde + 64 && b < 256; ++b)
      *campos[b % 8] += static_cast<char>(b);
    actividades.push_back(a);
  }
  actividades.push_back({"CLA", std::string("P1\0oculto", 9), "1A", "M&M", "", "L", "08:00", "<>"});
  actividades.push_back(kClase);

  for (const char* codificacion : {"UTF-8", "ISO-8859-1", "windows-1252", "US-ASCII", "UTF-16"}) {
    SCOPED_TRACE(codificacion);
    const std::string ascii = std::string("<?xml version=\"1.0\" encoding=\"") + codificacion +
                              "\"?>\n<!-- antes -->\n<Centro Codigo=\"1\" Nombre=\"IES\" "
                              "CursoEscolar=\"2025\" Version=\"3\"/>\n<!-- despues -->\n";
    std::string entrada = ascii;
    if (std::string(codificacion) == "UTF-16") {
      entrada = "\xFF\xFE";
      for (char c : ascii) entrada += std::string{c, '\0'};
    }
    const std::string sinActividades = construir(entrada);
    EXPECT_EQ(construir(entrada, actividades),
              segunLibxml2(sinActividades, actividades, codificacion));
  }
}

TEST(DocumentoCabecera, AMissingHeaderAttributeStopsNamingFileAndAttribute) {
  const char* atributos[] = {"Codigo", "Nombre", "CursoEscolar", "Version"};
  for (const char* falta : atributos) {
    SCOPED_TRACE(falta);
    std::string raiz = "<Centro";
    for (const char* a : atributos)
      if (std::string(a) != falta) raiz += std::string(" ") + a + "=\"x\"";
    CarpetaTemporal tmp;
    escribirArchivo(tmp / "centro.xml", "<?xml version=\"1.0\"?>\n" + raiz + "/>\n");
    try {
      DocumentoHorario doc(XmlDocument::load(tmp / "centro.xml"), kFecha);
      ADD_FAILURE() << "no error";
    } catch (const ErrorXml& e) {
      const std::string m = e.what();
      EXPECT_NE(m.find((tmp / "centro.xml").string()), std::string::npos) << m;
      EXPECT_NE(m.find(std::string("atributo ") + falta), std::string::npos) << m;
    }
  }
}

TEST(DocumentoCabecera, EmptyHeaderAttributesAreWrittenEmpty) {
  const std::string salida =
      construir("<Centro Codigo=\"\" Nombre=\" \" CursoEscolar=\"\" Version=\"\"/>");
  EXPECT_NE(salida.find("<Centro Codigo=\"\" Nombre=\"\" CursoEscolar=\"\" FechaExportacion=\"" +
                        std::string(kFecha) + "\" Version=\"\">"),
            std::string::npos)
      << salida;
}

// The stamp in the user's regional formats, the date from its own clock reading.
class FechaExportacion : public testing::Test {
 protected:
  void SetUp() override {
    guardar("LC_ALL");
    guardar("LOCPATH");
    guardar("TZ");
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    for (const auto& [nombre, valor] : guardadas_) {
      if (valor)
        setenv(nombre.c_str(), valor->c_str(), 1);
      else
        unsetenv(nombre.c_str());
    }
    tzset();
  }
  // Makes es_ES.UTF-8 reachable: the installed one, or one compiled into a temporary folder
  // when the system has the definition but not the compiled locale.
  bool espanol() {
    setenv("LC_ALL", "es_ES.UTF-8", 1);
    if (instalado()) return true;
    const std::string destino = (locales_ / "es_ES.UTF-8").string();
    const std::string orden = "localedef -i es_ES -f UTF-8 '" + destino + "' >/dev/null 2>&1";
    if (std::system(orden.c_str()) != 0 && !fs::exists(locales_ / "es_ES.UTF-8" / "LC_TIME"))
      return false;
    setenv("LOCPATH", locales_.ruta().c_str(), 1);
    return instalado();
  }

 private:
  static bool instalado() {
    locale_t l = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    if (!l) return false;
    freelocale(l);
    return true;
  }
  void guardar(const std::string& nombre) {
    const char* v = std::getenv(nombre.c_str());
    guardadas_.emplace_back(nombre, v ? std::optional<std::string>(v) : std::nullopt);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> guardadas_;
  CarpetaTemporal locales_;
};

// 2026-12-11 23:59:59 UTC, and two seconds later (the next day).
constexpr std::time_t kAntesDeMedianoche = 1797033599;
constexpr std::time_t kDespues = kAntesDeMedianoche + 2;

TEST_F(FechaExportacion, SpanishSettingsGiveDayMonthYearAnd24HourTime) {
  if (!espanol()) GTEST_SKIP() << "es_ES.UTF-8 no está disponible";
  EXPECT_EQ(fechaExportacion(kAntesDeMedianoche, kAntesDeMedianoche), "11/12/26 23:59:59");
  // The date comes from the first reading, the time from the second.
  EXPECT_EQ(fechaExportacion(kAntesDeMedianoche, kDespues), "11/12/26 00:00:01");
}

TEST_F(FechaExportacion, FollowsTheEnvironmentNotTheProcessLocale) {
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(fechaExportacion(kAntesDeMedianoche, kAntesDeMedianoche), "12/11/26 23:59:59");
  EXPECT_TRUE(std::regex_match(fechaExportacionAhora(),
                               std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d)")));
}

// Saving: a complete file replaces the old one; a failure leaves the old one and no temp.
TEST(DocumentoGuardar, ReplacesAnExistingFileOnlyWithACompleteOne) {
  CarpetaTemporal tmp;
  escribirArchivo(tmp / "centro.xml", kCentroPorDefecto);
  DocumentoHorario doc(XmlDocument::load(tmp / "centro.xml"), kFecha);
  doc.agregarActividad(kClase);
  const fs::path destino = tmp / "ResultadoOrvantcentro.xml";

  for (int fallo : {1, 2}) {  // the write of the temporary file, then its rename
    for (bool habia : {false, true}) {
      SCOPED_TRACE("fallo en la llamada " + std::to_string(fallo) + (habia ? ", con" : ", sin") +
                   " archivo anterior");
      fs::remove(destino);
      if (habia) escribirArchivo(destino, "anterior");
      ArchivosFallidos archivos(fallo);
      EXPECT_THROW(doc.guardar(destino, archivos), ErrorArchivo);
      EXPECT_TRUE(archivos.fallo());
      if (habia)
        EXPECT_EQ(leerArchivo(destino), "anterior");
      else
        EXPECT_FALSE(fs::exists(destino));
      EXPECT_EQ(std::distance(fs::directory_iterator(tmp.ruta()), fs::directory_iterator()),
                habia ? 2 : 1);  // centro.xml and, when there was one, the old result
    }
  }

  escribirArchivo(destino, "anterior");
  doc.guardar(destino, SistemaArchivos::real());
  EXPECT_EQ(leerArchivo(destino), doc.serializar());
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.ruta()), fs::directory_iterator()), 2);
}

}  // namespace
