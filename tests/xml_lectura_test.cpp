// Reading a loaded centre document: lists by absolute path, attributes (trimmed, absent
// is empty, Windows-1252), the parent walk from MateriaGrupo to its Grupo.
#include "formats/documento_xml.h"

#include <gtest/gtest.h>

#include "apoyo/carpeta_temporal.h"
#include "formats/windows1252.h"

using namespace tov;
using namespace tov::prueba;

namespace {

class LecturaXml : public ::testing::Test {
 protected:
  XmlDocument cargar(const std::string& cuerpo, const std::string& dtd = "") {
    escribirArchivo(carpeta / "centro.xml",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + dtd + "<Centro>\n" + cuerpo +
                        "\n</Centro>\n");
    return XmlDocument::load(carpeta / "centro.xml");
  }

  static std::vector<std::string> codigos(const std::vector<XmlNode>& nodos) {
    std::vector<std::string> out;
    for (const XmlNode& n : nodos) out.push_back(n.attribute("Codigo"));
    return out;
  }

  CarpetaTemporal carpeta;
};

using Codigos = std::vector<std::string>;

TEST_F(LecturaXml, SoloLosElementosDeLaRutaExactaYEnOrdenDelDocumento) {
  XmlDocument doc = cargar(R"(
  <Materia Codigo="SUELTA"/>
  <Otros><Materia Codigo="EN_OTROS"/></Otros>
  <Materias>
    <!-- un comentario --> texto <?pi algo?>
    <Materia Codigo="M1"/>
    <Materia Codigo="M2"><Materia Codigo="NIETA"/></Materia>
    <Materi Codigo="CASI"/><materia Codigo="minuscula"/>
  </Materias>
  <Materias><Materia Codigo="M3"/></Materias>)");

  EXPECT_EQ(codigos(doc.selectNodes("/Centro/Materias/Materia")), (Codigos{"M1", "M2", "M3"}));
  EXPECT_EQ(codigos(doc.selectNodes("/Centro/Materia")), Codigos{"SUELTA"});
  EXPECT_TRUE(doc.selectNodes("/Centro/Aulas/Aula").empty());
  EXPECT_TRUE(doc.selectNodes("/Otro").empty());
  EXPECT_TRUE(doc.selectNodes("/Materias/Materia").empty());

  const auto raiz = doc.selectNodes("/Centro");
  ASSERT_EQ(raiz.size(), 1u);
  EXPECT_EQ(raiz[0].raw(), doc.root().raw());
  EXPECT_FALSE(doc.root().parent().valid());
  EXPECT_THROW(doc.selectNodes("Centro/Materias"), std::invalid_argument);
}

TEST_F(LecturaXml, UnaListaDeUnElementoEsUnaLista) {
  XmlDocument doc = cargar(R"(<Aulas><Aula Codigo="A1" Denominacion="Aula única"/></Aulas>
  <Grupos><Grupo Codigo="1A"/></Grupos>)");
  const auto aulas = doc.selectNodes("/Centro/Aulas/Aula");
  ASSERT_EQ(aulas.size(), 1u);
  EXPECT_EQ(aulas[0].attribute("Denominacion"), utf8ToWindows1252("Aula única"));
  EXPECT_EQ(codigos(doc.selectNodes("/Centro/Grupos/Grupo")), Codigos{"1A"});
}

TEST_F(LecturaXml, DosGruposYUnaSolaMateriaGrupoQueSubeASuGrupo) {
  XmlDocument doc = cargar(R"(<Grupos>
    <Grupo Codigo="G1"><MateriasGrupo/></Grupo>
    <Grupo Codigo="G2">
      <MateriasGrupo>
        <MateriaGrupo Codigo="MAT" Horas="03,00"/>
      </MateriasGrupo>
    </Grupo>
  </Grupos>)");
  const auto lista = doc.selectNodes("/Centro/Grupos/Grupo/MateriasGrupo/MateriaGrupo");
  ASSERT_EQ(lista.size(), 1u);
  const XmlNode grupo = lista[0].parent().parent();
  ASSERT_TRUE(grupo.valid());
  EXPECT_EQ(grupo.name(), "Grupo");
  EXPECT_EQ(grupo.attribute("Codigo"), "G2");
  EXPECT_EQ(lista[0].parent().name(), "MateriasGrupo");
  EXPECT_EQ(lista[0].attribute("Horas"), "03,00");
}

TEST_F(LecturaXml, MateriasGrupoDeTodosLosGruposEnOrden) {
  XmlDocument doc = cargar(R"(<Grupos>
    <Grupo Codigo="G1"><MateriasGrupo><MateriaGrupo Codigo="A"/><MateriaGrupo Codigo="B"/></MateriasGrupo></Grupo>
    <Grupo Codigo="G2"/>
    <Grupo Codigo="G3"><MateriasGrupo><MateriaGrupo Codigo="C"/></MateriasGrupo>
                       <MateriasGrupo><MateriaGrupo Codigo="D"/></MateriasGrupo></Grupo>
  </Grupos>)");
  const auto lista = doc.selectNodes("/Centro/Grupos/Grupo/MateriasGrupo/MateriaGrupo");
  EXPECT_EQ(codigos(lista), (Codigos{"A", "B", "C", "D"}));
  std::vector<std::string> grupos;
  for (const XmlNode& m : lista) grupos.push_back(m.parent().parent().attribute("Codigo"));
  EXPECT_EQ(grupos, (Codigos{"G1", "G1", "G3", "G3"}));
}

struct CasoAtributo {
  const char* nombre;
  const char* atributos;  // inside <Materia .../>
  std::u16string ancho;   // attributeWide("Codigo")
  std::string ansi;       // attribute("Codigo")
  std::u16string perdidos;
};

TEST_F(LecturaXml, AtributosRecortadosYEnWindows1252) {
  const CasoAtributo casos[] = {
      {"blancos, tabuladores y saltos literales", "Codigo=\" \t\n  MAT01 \r\n\t\"", u"MAT01",
       "MAT01", u""},
      {"tabuladores y saltos como referencias", "Codigo=\"&#9;&#10;&#13;MAT01&#32;&#10;\"",
       u"MAT01", "MAT01", u""},
      {"el interior se conserva", "Codigo=\" Lengua &#9; y  Literatura \"",
       u"Lengua \t y  Literatura", "Lengua \t y  Literatura", u""},
      {"ausente", "Otro=\"X\"", u"", "", u""},
      {"vacio", "Codigo=\"\"", u"", "", u""},
      {"solo blancos", "Codigo=\" &#9; \"", u"", "", u""},
      {"con prefijo no es el mismo nombre", "xmlns:x=\"urn:x\" x:Codigo=\"X\"", u"", "", u""},
      {"acentos", "Codigo=\"ÁÑÜ ç\"", u"ÁÑÜ ç", "\xC1\xD1\xDC \xE7", u""},
      {"de 0x80-0x9F", "Codigo=\"€ Š œ Ÿ\"", u"€ Š œ Ÿ", "\x80 \x8A \x9C \x9F", u""},
      {"hueco del codigo", "Codigo=\"&#x81;&#x9D;\"", u"\u0081\u009D", "\x81\x9D", u""},
      {"fuera de Windows-1252", "Codigo=\"MAT☃Ā\"", u"MAT☃Ā", "MAT??", u"☃Ā"},
      {"control C1 que no es hueco", "Codigo=\"A&#x85;\"", u"A\u0085", "A?", u"\u0085"},
      {"fuera del plano basico", "Codigo=\" &#x1F600;X \"", u"\U0001F600X", "??X",
       u"\U0001F600"},
      {"espacio duro no se recorta", "Codigo=\"&#xA0;X&#xA0;\"", u"\u00A0X\u00A0", "\xA0X\xA0",
       u""},
      {"entidades predefinidas", "Codigo=\" &lt;A&amp;B&gt; &quot;\"", u"<A&B> \"", "<A&B> \"",
       u""},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    XmlDocument doc = cargar(std::string("<Materias><Materia ") + c.atributos + "/></Materias>");
    const auto m = doc.selectNodes("/Centro/Materias/Materia");
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].attributeWide("Codigo"), c.ancho);
    std::u16string perdidos;
    EXPECT_EQ(m[0].attribute("Codigo", &perdidos), c.ansi);
    EXPECT_EQ(perdidos, c.perdidos);
  }
}

TEST_F(LecturaXml, AusenteYVacioSeDistinguenSoloConHasAttribute) {
  XmlDocument doc = cargar(R"(<Profesores><Profesor Codigo="P1" CodigoDep=""/></Profesores>)");
  const XmlNode p = doc.selectNodes("/Centro/Profesores/Profesor").at(0);
  EXPECT_TRUE(p.hasAttribute("CodigoDep"));
  EXPECT_FALSE(p.hasAttribute("Apellido2"));
  EXPECT_FALSE(p.hasAttribute("codigodep"));  // names are case-sensitive
  EXPECT_EQ(p.attribute("Apellido2"), "");
  EXPECT_EQ(p.attribute("CodigoDep"), "");
}

TEST_F(LecturaXml, EntidadesInternasSeExpandenEnLosAtributos) {
  XmlDocument doc = cargar(R"(<Profesores>
    <Profesor Codigo="P1" Nombre=" &nombre; " Apellido1="&eacute;"/>
  </Profesores>)",
                           "<!DOCTYPE Centro [\n<!ENTITY nombre \"Jos&#xE9; &amp; Mar&#xED;a\">\n"
                           "<!ENTITY eacute \"&#xE9;\">\n]>\n");
  const XmlNode p = doc.selectNodes("/Centro/Profesores/Profesor").at(0);
  EXPECT_EQ(p.attributeWide("Nombre"), u"José & María");
  EXPECT_EQ(p.attribute("Apellido1"), "\xE9");
}

TEST_F(LecturaXml, LosDefectosDelSubconjuntoInternoNoSeAplican) {
  // libxml2 would add DTD defaults only with DTDATTR; an attribute the element does not
  // write is absent.
  XmlDocument doc = cargar(R"(<Aulas><Aula Codigo="A1"/><Aula Codigo="A2" Denominacion="Dos"/></Aulas>)",
                           "<!DOCTYPE Centro [\n<!ATTLIST Aula Denominacion CDATA \"POR_DEFECTO\">\n]>\n");
  const auto aulas = doc.selectNodes("/Centro/Aulas/Aula");
  ASSERT_EQ(aulas.size(), 2u);
  EXPECT_FALSE(aulas[0].hasAttribute("Denominacion"));
  EXPECT_EQ(aulas[0].attribute("Denominacion"), "");
  EXPECT_EQ(aulas[1].attribute("Denominacion"), "Dos");
}

}  // namespace
