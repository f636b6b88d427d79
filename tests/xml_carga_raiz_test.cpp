// The partial loads: one builds the elements with their attributes and nothing else inside
// the root, the other the root with its attributes and the nodes outside it. Both check the
// whole document exactly as the full load does.
#include <gtest/gtest.h>
#include <libxml/tree.h>

#include <string>
#include <vector>

#include "app/errores.h"
#include "apoyo/carpeta_temporal.h"
#include "formats/documento_xml.h"
#include "formats/windows1252.h"

using namespace tov;
using namespace tov::prueba;

namespace {

using Keep = XmlDocument::Keep;

// Removes from the tree what the given load does not build inside the root: everything,
// or everything but elements, whose attributes that load keeps beside the tree.
void quitarInterior(xmlNodePtr nodo, Keep keep) {
  if (keep == Keep::Elements && nodo->properties) {
    xmlFreePropList(nodo->properties);
    nodo->properties = nullptr;
  }
  for (xmlNodePtr hijo = nodo->children; hijo;) {
    xmlNodePtr siguiente = hijo->next;
    if (keep == Keep::RootAndOutside || hijo->type != XML_ELEMENT_NODE) {
      xmlUnlinkNode(hijo);
      xmlFreeNode(hijo);
    } else {
      quitarInterior(hijo, keep);
    }
    hijo = siguiente;
  }
}

// Whether the load built something inside the root that it should have left out.
bool sobraAlgo(xmlNodePtr nodo, Keep keep) {
  if (keep == Keep::Elements && nodo->properties) return true;
  for (xmlNodePtr hijo = nodo->children; hijo; hijo = hijo->next)
    if (keep == Keep::RootAndOutside || hijo->type != XML_ELEMENT_NODE || sobraAlgo(hijo, keep))
      return true;
  return false;
}

// Every element the given load keeps, in document order: its line and its attributes as a
// reader sees them.
std::string elementos(const XmlDocument& doc, Keep keep) {
  std::string texto;
  std::vector<xmlNodePtr> pendientes{xmlDocGetRootElement(doc.raw())};
  while (!pendientes.empty()) {
    xmlNodePtr nodo = pendientes.back();
    pendientes.pop_back();
    const XmlNode e(nodo);
    texto += std::string(reinterpret_cast<const char*>(nodo->name)) + "@" +
             std::to_string(e.line());
    for (const char* nombre : {"Codigo", "Nombre", "x", "y:z", "z", "Defecto"})
      if (e.hasAttribute(nombre))
        texto += std::string(" ") + nombre + "=" + utf16ToUtf8(e.attributeWide(nombre)) + "|" +
                 e.attribute(nombre);
    texto += "\n";
    if (keep == Keep::RootAndOutside) break;
    std::vector<xmlNodePtr> hijos;
    for (xmlNodePtr h = nodo->children; h; h = h->next)
      if (h->type == XML_ELEMENT_NODE) hijos.push_back(h);
    pendientes.insert(pendientes.end(), hijos.rbegin(), hijos.rend());
  }
  return texto;
}

// The document as libxml2 writes it once cut down to what the given load keeps.
std::string recortado(const XmlDocument& doc, Keep keep) {
  quitarInterior(xmlDocGetRootElement(doc.raw()), keep);
  xmlChar* memoria = nullptr;
  int tamano = 0;
  xmlDocDumpMemory(doc.raw(), &memoria, &tamano);
  std::string texto(reinterpret_cast<const char*>(memoria), static_cast<std::size_t>(tamano));
  xmlFree(memoria);
  return texto;
}

// What a load gives, compared as the load `como` keeps it: the element lines, the outside
// and what is left of the root; or the error's message.
std::string resultado(const std::string& xml, Keep keep, Keep como) {
  CarpetaTemporal tmp;
  escribirArchivo(tmp / "centro.xml", xml);
  try {
    const XmlDocument doc = XmlDocument::load(tmp / "centro.xml", keep);
    if (keep != Keep::Everything && sobraAlgo(xmlDocGetRootElement(doc.raw()), keep))
      return "la carga construyó de más";
    const std::string lista = elementos(doc, como);  // before the tree is cut down
    return lista + recortado(doc, como);
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
      "<!ENTITY fuera SYSTEM \"fuera.xml\">\n<!ATTLIST Materia Defecto CDATA \"d\">\n]>\n"
      "<!-- antes -->\n<?lumbra v=\"2\"?>\n";
  const struct {
    const char* nombre;
    std::string interior;
  } casos[] = {
      {"Correcto",
       "<Materias>texto &nombre; &amp; <![CDATA[<x>]]><!-- c --><?pi d?>\n"
       "  <Materia\n    Codigo=\"M&#233;\" Nombre=\"a&amp;b &nombre;\tc\n d\" xmlns:y=\"urn:y\"\n"
       "    y:z=\" \xE2\x82\xAC\xE2\x80\xA2 \xE4\xB8\x80 \"/></Materias><Materias/>"},
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
    for (Keep keep : {Keep::Elements, Keep::RootAndOutside}) {
      const std::string completo = resultado(xml, Keep::Everything, keep);
      EXPECT_EQ(resultado(xml, keep, keep), completo);
      if (std::string(c.nombre) == "Correcto") {
        EXPECT_NE(completo.find("<!-- despues -->"), std::string::npos) << completo;
        if (keep == Keep::Elements) {
          EXPECT_NE(completo.find("Centro@9 Codigo=1|1 Nombre=IES \xC3\xA9|IES \xE9\n"
                                  "Materias@10\n"
                                  "Materia@11 Codigo=M\xC3\xA9|M\xE9 Nombre=a&b IES \xC3\xA9 c  d|a&b IES \xE9 c  d "
                                  "y:z=\xE2\x82\xAC\xE2\x80\xA2 \xE4\xB8\x80|\x80\x95 ?\n"
                                  "Materias@14\n"),
                    std::string::npos)
              << completo;
        }
      }
    }
  }
}

}  // namespace
