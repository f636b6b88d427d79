// The click on BImportar through the window's seam: the messages, the remembered document,
// the missing-input path, the status, the busy pointer and closing in host mode.
#include "timetable_to_centre/bimportar.h"

#include <gtest/gtest.h>

#include "app/errores.h"
#include "apoyo/mundo_solucion.h"

namespace fs = std::filesystem;
using namespace tov;
using namespace tov::prueba;

namespace {

const std::string kAviso =
    "mensaje: Deberá Abrir el fichero XML de LUMBRA-Zetra,\r\n"
    "desde el cual realizó la Importación a Orvantis";

// Writes down every call; the dialog answers what the test says.
class InterfazGuionada : public Interfaz {
 public:
  std::optional<fs::path> respuesta;  // nothing: the user cancels
  std::vector<std::string> llamadas;
  std::string detalle;

  std::optional<fs::path> elegirArchivo(const fs::path& recordado) override {
    llamadas.push_back("dialogo: " + recordado.string());
    return respuesta;
  }
  void mostrarMensaje(const std::string& texto, const std::string& d) override {
    llamadas.push_back("mensaje: " + texto);
    detalle = d;
  }
  void mostrarError(const std::string& texto) override { llamadas.push_back("error: " + texto); }
  void cursorOcupado() override { llamadas.push_back("ocupado"); }
  void cursorNormal() override { llamadas.push_back("normal"); }
  void cerrarVentana() override { llamadas.push_back("cerrar"); }
};

struct Caso {
  const char* nombre;
  bool anfitrion;
  bool conversionAntes;  // FicheroXML left by an earlier run in the same window
  bool eligeDocumento;
  bool hayDocumento;
  bool haySoluc;
  int estado;
  bool escribe;
  bool cierra;
};

TEST(BImportar, DialogInputAndStatus) {
  const Caso casos[] = {
      {"cancela en la primera ejecución", false, false, false, true, true, 0, false, false},
      {"cancela en la primera ejecución, anfitrión", true, false, false, true, true, -1, false, true},
      {"cancela tras una conversión", false, true, false, true, true, 1, true, false},
      {"elige el documento", false, false, true, true, true, 1, true, false},
      {"elige el documento, anfitrión", true, false, true, true, true, 1, true, true},
      {"falta SOLUC", false, false, true, true, false, 0, false, false},
      {"falta SOLUC, anfitrión", true, false, true, true, false, -1, false, true},
      {"el documento recordado ya no existe", true, true, false, false, true, -1, false, true},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    MundoSolucion m;
    if (c.haySoluc) m.soluc({{"MAT", "CLA", "1", "1", "1A", "P1", "A1"}});
    if (!c.hayDocumento) fs::remove(m.xml);
    EstadoPrograma estado;
    estado.carpetaTrabajo = m.trabajo;
    estado.NumParametros = c.anfitrion ? 2 : 0;
    if (c.conversionAntes) estado.FicheroXML = m.xml;
    InterfazGuionada ui;
    if (c.eligeDocumento) ui.respuesta = m.xml;

    BImportarClick(estado, ui);

    EXPECT_EQ(estado.EstadoTransformado, c.estado);
    EXPECT_EQ(estado.FicheroXML, c.conversionAntes || c.eligeDocumento ? m.xml : fs::path());
    EXPECT_EQ(fs::exists(m.resultado), c.escribe);
    std::vector<std::string> esperadas = {
        kAviso, "dialogo: " + (c.conversionAntes ? m.xml.string() : std::string())};
    if (c.escribe)
      esperadas.insert(esperadas.end(), {"ocupado", "normal", "mensaje: Proceso finalizado"});
    else
      esperadas.push_back("mensaje: No existe archivo XML o Solución.");
    if (c.cierra) esperadas.push_back("cerrar");
    EXPECT_EQ(ui.llamadas, esperadas);
    if (c.escribe) {
      EXPECT_NE(ui.detalle.find("actividad (clases): 1 fila"), std::string::npos);
    }
    EXPECT_TRUE(m.tablasCerradas());
  }
}

TEST(BImportar, AnErrorRestoresThePointerAndLeavesStatusAndWindow) {
  for (bool anfitrion : {false, true}) {
    SCOPED_TRACE(anfitrion ? "anfitrión" : "solo");
    MundoSolucion m("<Centro Codigo=\"1\"");  // not well-formed
    m.soluc({{"MAT", "CLA", "1", "1", "1A", "P1", "A1"}});
    EstadoPrograma estado;
    estado.carpetaTrabajo = m.trabajo;
    estado.NumParametros = anfitrion ? 2 : 0;
    InterfazGuionada ui;
    ui.respuesta = m.xml;
    EXPECT_THROW(BImportarClick(estado, ui), ErrorXml);
    EXPECT_EQ(estado.EstadoTransformado, 0);
    EXPECT_EQ(ui.llamadas,
              (std::vector<std::string>{kAviso, "dialogo: ", "ocupado", "normal"}));
    EXPECT_FALSE(fs::exists(m.resultado));
    EXPECT_TRUE(m.tablasCerradas());
  }
}

}  // namespace
