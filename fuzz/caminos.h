// The paths the fuzz targets drive, shared with the regression test that replays their
// findings through the normal build: each takes the bytes of one input file as a user's disk
// may hold them. An error of type tov::Error is a proper answer to bad bytes; anything else
// (a crash, a hang, a leak, another exception) is a fault.
#pragma once
#include <libxml/tree.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/archivo_ini.h"
#include "app/errores.h"
#include "app/sistema_archivos.h"
#include "formats/documento_xml.h"
#include "centre_to_timetable/codigos_cortos.h"
#include "centre_to_timetable/conversion.h"
#include "timetable_to_centre/exportacion_solucion.h"

namespace tov::fuzz {

inline void guardar(const std::filesystem::path& p, std::string_view bytes) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string cargar(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// A folder of its own under the system's temporary folder, removed with the object.
class Carpeta {
 public:
  Carpeta() {
    std::string plantilla = (std::filesystem::temp_directory_path() / "tov-fuzz-XXXXXX").string();
    if (!mkdtemp(plantilla.data())) std::abort();
    ruta_ = plantilla;
  }
  ~Carpeta() {
    std::error_code ec;
    std::filesystem::remove_all(ruta_, ec);
  }
  Carpeta(const Carpeta&) = delete;
  Carpeta& operator=(const Carpeta&) = delete;
  const std::filesystem::path& ruta() const { return ruta_; }

 private:
  std::filesystem::path ruta_;
};

// The load of elements, which keeps attributes its own way, must read the document as the
// full load does: both fail with the same message, or give the same elements with the same
// lines, and every attribute of the full tree reads the same in both. Returns what differs.
inline std::string compararCargas(const std::filesystem::path& xml) {
  std::optional<XmlDocument> completa, elementos;
  std::string errorCompleta, errorElementos;
  try {
    completa.emplace(XmlDocument::load(xml));
  } catch (const Error& e) {
    errorCompleta = e.what();
  }
  try {
    elementos.emplace(XmlDocument::load(xml, XmlDocument::Keep::Elements));
  } catch (const Error& e) {
    errorElementos = e.what();
  }
  if (errorCompleta != errorElementos)
    return "las cargas fallan distinto: '" + errorCompleta + "' y '" + errorElementos + "'";
  if (!completa) return "";
  std::vector<std::pair<xmlNodePtr, xmlNodePtr>> pendientes{
      {completa->root().raw(), elementos->root().raw()}};
  while (!pendientes.empty()) {
    const auto [a, b] = pendientes.back();
    pendientes.pop_back();
    const XmlNode na(a), nb(b);
    const std::string donde = na.name() + " de la línea " + std::to_string(na.line());
    if (na.name() != nb.name() || na.line() != nb.line())
      return "el elemento " + donde + " es " + nb.name() + " en la línea " + std::to_string(nb.line());
    for (xmlAttrPtr p = a->properties; p; p = p->next) {
      std::string nombre = reinterpret_cast<const char*>(p->name);
      if (p->ns && p->ns->prefix) nombre = reinterpret_cast<const char*>(p->ns->prefix) + (":" + nombre);
      if (!nb.hasAttribute(nombre) || na.attributeWide(nombre) != nb.attributeWide(nombre) ||
          na.attribute(nombre) != nb.attribute(nombre))
        return "el atributo " + nombre + " del elemento " + donde + " se lee distinto";
    }
    std::vector<xmlNodePtr> hijosA, hijosB;
    for (xmlNodePtr h = a->children; h; h = h->next)
      if (h->type == XML_ELEMENT_NODE) hijosA.push_back(h);
    for (xmlNodePtr h = b->children; h; h = h->next)
      if (h->type == XML_ELEMENT_NODE) hijosB.push_back(h);
    if (hijosA.size() != hijosB.size()) return "el elemento " + donde + " tiene otros hijos";
    for (std::size_t i = 0; i < hijosA.size(); ++i) pendientes.emplace_back(hijosA[i], hijosB[i]);
  }
  return "";
}

// The centre document through both loads compared, then the whole run into `raiz`/XCAMBIO
// (reused between inputs: a run over the tables of the previous one also replaces them).
// Returns what went wrong ("" when nothing).
inline std::string pasarCentro(std::string_view bytes, const std::filesystem::path& raiz) {
  const std::filesystem::path xml = raiz / "centro.xml";
  guardar(xml, bytes);
  if (std::string fallo = compararCargas(xml); !fallo.empty()) return fallo;
  Conversion c;
  c.carpeta = raiz / "XCAMBIO";
  ListaCatalogo codigos, nombres;
  std::vector<std::string> plantillas;
  try {
    convertirCentro(xml, c, codigos, nombres, plantillas);
  } catch (const Error&) {
  }
  return "";
}

// The work folder the SOLUC target reads beside: the tables of a sample school's run.
// Returns the centre document the way back builds on.
inline std::filesystem::path prepararSoluc(const std::filesystem::path& raiz,
                                           const std::filesystem::path& documento) {
  const std::filesystem::path xml = raiz / "centro.xml";
  std::filesystem::copy_file(documento, xml, std::filesystem::copy_options::overwrite_existing);
  Conversion c;
  c.carpeta = raiz / "XCAMBIO";
  ListaCatalogo codigos, nombres;
  std::vector<std::string> plantillas;
  convertirCentro(xml, c, codigos, nombres, plantillas);
  return xml;
}

// The bytes as SOLUC.DBF beside those tables, through the table reader and the way back.
inline void pasarSoluc(std::string_view bytes, const std::filesystem::path& raiz,
                       const std::filesystem::path& xml) {
  const std::filesystem::path carpeta = raiz / "XCAMBIO";
  guardar(carpeta / "SOLUC.DBF", bytes);
  try {
    exportarSolucion(xml, carpeta, SistemaArchivos::real(), raiz / "ResultadoOrvantcentro.xml");
  } catch (const Error&) {
  }
}

// The bytes as an existing Orvantis.ini, then the status write of the window's close.
// Returns what went wrong with the written file ("" when nothing): every byte outside the
// one value set (or the lines added) must stay, and setting the same value again must not
// change the file.
inline std::string pasarIni(std::string_view bytes, const std::filesystem::path& raiz) {
  const std::filesystem::path ini = raiz / "Orvantis.ini";
  guardar(ini, bytes);
  try {
    escribirValorIni(ini, "Transformadores", "Transformado", "1");
  } catch (const Error&) {
    return "";
  }
  const std::string escrito = cargar(ini);
  if (escrito != fijarValorIni(bytes, "Transformadores", "Transformado", "1"))
    return "el archivo escrito no es el texto calculado";
  // Common head and tail: what lies between them in the old text is the replaced value,
  // which never spans a line break.
  std::size_t cabeza = 0;
  while (cabeza < bytes.size() && cabeza < escrito.size() && bytes[cabeza] == escrito[cabeza])
    ++cabeza;
  std::size_t cola = 0;
  while (cola < bytes.size() - cabeza && cola < escrito.size() - cabeza &&
         bytes[bytes.size() - 1 - cola] == escrito[escrito.size() - 1 - cola])
    ++cola;
  const std::string_view quitado = bytes.substr(cabeza, bytes.size() - cabeza - cola);
  if (quitado.find('\n') != std::string_view::npos)
    return "se perdieron bytes fuera del valor";
  if (fijarValorIni(escrito, "Transformadores", "Transformado", "1") != escrito)
    return "escribir el mismo valor otra vez cambia el archivo";
  return "";
}

}  // namespace tov::fuzz
