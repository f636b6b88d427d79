// The root-only load: it builds the root with its attributes and the nodes outside it, and
// checks the whole document exactly as the full load does.
#include <gtest/gtest.h>
#include <libxml/tree.h>

#include <string>

#include "app/errores.h"
#include "apoyo/carpeta_temporal.h"
#include "formats/documento_xml.h"

using namespace tov;
using namespace tov::prueba;

namespace {

using Keep = XmlDocument::Keep;

// The document as libxml2 writes it; for a full load, without what is inside the root.
std::string sinInterior(const XmlDocument& doc) {
  xmlNodePtr raiz = xmlDocGetRootElement(doc.raw());
  while (xmlNodePtr hijo = raiz->children) {
    xmlUnlinkNode(hijo);
    xmlFreeNode(hijo);
  }
  xmlChar* memoria = nullptr;
  int tamano = 0;
  xmlDocDumpMemory(doc.raw(), &memoria, &tamano);
  std::string texto(reinterpret_cast<const char*>(memoria), static_cast<std::size_t>(tamano));
  xmlFree(memoria);
  return texto;
}

// What a load gives: the outside and the root, or the error's message.
std::string resultado(const std::string& xml, Keep keep) {
  CarpetaTemporal tmp;
  escribirArchivo(tmp / "centro.xml", xml);
  try {
    const XmlDocument doc = XmlDocument::load(tmp / "centro.xml", keep);
    if (keep == Keep::RootAndOutside && doc.root().raw()->children)
      return "la raíz tiene hijos";
    return "línea " + std::to_string(doc.root().line()) + ": " + sinInterior(doc);
  } catch (const ErrorXml& e) {
    // The file name is the temporary folder's: the rest must match.
    std::string m = e.what();
    const std::string ruta = (tmp / "centro.xml").string();
    if (auto p = m.find(ruta); p != std::string::npos) m.erase(p, ruta.size());
    return m;
  }
}

TEST(CargaRaiz, KeepsTheOutsideAndChecksTheInsideLikeTheFullLoad) {
  const std::string prologo =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE Centro [\n<!ENTITY nombre \"IES &#233;\">\n"
      "<!ENTITY fuera SYSTEM \"fuera.xml\">\n]>\n"
      "<!-- antes -->\n<?lumbra v=\"2\"?>\n";
  const struct {
    const char* nombre;
    std::string interior;
  } casos[] = {
      {"Correcto",
       "<Materias>texto &nombre; &amp; <![CDATA[<x>]]><!-- c --><?pi d?>\n"
       "  <Materia\n    Codigo=\"M&#233;\"/></Materias><Materias/>"},
      {"EtiquetasCruzadas", "<A><B></A></B>"},
      {"EntidadSinDeclarar", "<A>&nada;</A>"},
      {"EntidadExternaDentro", "<A>&fuera;</A>"},
      {"EntidadExternaEnAtributo", "<A x=\"&fuera;\"/>"},
      {"AtributoRepetido", "<A x=\"1\" x=\"2\"/>"},
      {"CaracterNoValido", "<A>\x01</A>"},
      {"SinCerrar", "<A>"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    const std::string xml = prologo + "<Centro Codigo=\"1\"\n Nombre=\"&nombre;\">" + c.interior +
                            "</Centro>\n<!-- despues -->\n";
    const std::string completo = resultado(xml, Keep::Everything);
    EXPECT_EQ(resultado(xml, Keep::RootAndOutside), completo);
    if (std::string(c.nombre) == "Correcto") {
      EXPECT_NE(completo.find("<!-- despues -->"), std::string::npos) << completo;
    }
  }
}

}  // namespace
