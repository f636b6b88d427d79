#include "timetable_to_centre/documento_horario.h"

#include <libxml/tree.h>

#include <array>
#include <memory>
#include <new>
#include <random>
#include <system_error>

#include "app/errores.h"
#include "app/sistema_archivos.h"
#include "formats/windows1252.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#endif

namespace fs = std::filesystem;

namespace tov {
namespace {

// Encoding of the output when the loaded document declared none: the XML default, and a
// declaration saying so.
constexpr const char* kCodificacionPorDefecto = "UTF-8";
// The new elements go one per line, indented two blanks per level.
constexpr const char* kSangriaHorario = "\n  ";
constexpr const char* kSangriaActividad = "\n    ";
constexpr const char* kFinCentro = "\n";

const xmlChar* X(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

template <class T>
T* creado(T* p) {
  if (!p) throw std::bad_alloc();
  return p;
}

void atributo(xmlNodePtr elemento, const char* nombre, std::string_view valor1252) {
  // xmlNewProp stores the value as plain text; the serialiser escapes it.
  const std::string utf8 = windows1252ToUtf8(valor1252);
  creado(xmlNewProp(elemento, X(nombre), X(utf8.c_str())));
}

xmlNodePtr texto(xmlDocPtr doc, const char* contenido) {
  return creado(xmlNewDocText(doc, X(contenido)));
}

// Appends `hijo` to `padre`, freeing it if libxml2 refuses.
void anadir(xmlNodePtr padre, xmlNodePtr hijo) {
  if (!xmlAddChild(padre, hijo)) {
    xmlFreeNode(hijo);
    throw std::bad_alloc();
  }
}

#ifndef _WIN32
// The locale-encoded text of strftime as UTF-8.
std::string aUtf8(const std::string& texto, const char* codificacion) {
  bool ascii = true;
  for (unsigned char c : texto) ascii = ascii && c < 0x80;
  if (ascii || std::string_view(codificacion) == "UTF-8") return texto;
  iconv_t cd = iconv_open("UTF-8", codificacion);
  if (cd == reinterpret_cast<iconv_t>(-1)) return texto;
  std::string salida(texto.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(texto.data());
  std::size_t quedan = texto.size();
  char* out = salida.data();
  std::size_t libre = salida.size();
  const bool ok = iconv(cd, &in, &quedan, &out, &libre) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!ok) return texto;
  salida.resize(salida.size() - libre);
  return salida;
}

class LocaleUsuario {
 public:
  // The environment's regional settings (LC_ALL, LC_TIME, LANG), whatever the process
  // locale is; C when they name a locale that is not installed.
  LocaleUsuario() {
    loc_ = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (!loc_) loc_ = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  }
  ~LocaleUsuario() {
    if (loc_) freelocale(loc_);
  }
  LocaleUsuario(const LocaleUsuario&) = delete;
  LocaleUsuario& operator=(const LocaleUsuario&) = delete;

  std::string formatear(nl_item formato, std::time_t t) const {
    std::tm tm{};
    localtime_r(&t, &tm);
    std::array<char, 256> buf{};
    const std::size_t n = strftime_l(buf.data(), buf.size(), nl_langinfo_l(formato, loc_), &tm, loc_);
    return aUtf8(std::string(buf.data(), n), nl_langinfo_l(CODESET, loc_));
  }

 private:
  locale_t loc_ = static_cast<locale_t>(0);
};
#else
SYSTEMTIME local(std::time_t t) {
  std::tm tm{};
  localtime_s(&tm, &t);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(tm.tm_year + 1900);
  st.wMonth = static_cast<WORD>(tm.tm_mon + 1);
  st.wDayOfWeek = static_cast<WORD>(tm.tm_wday);
  st.wDay = static_cast<WORD>(tm.tm_mday);
  st.wHour = static_cast<WORD>(tm.tm_hour);
  st.wMinute = static_cast<WORD>(tm.tm_min);
  st.wSecond = static_cast<WORD>(tm.tm_sec);
  return st;
}

std::string deAncho(const wchar_t* s) {
  return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(s)));
}
#endif

std::string sufijoTemporal() {
  std::random_device azar;
  constexpr const char* kHex = "0123456789abcdef";
  std::string s = ".tmp";
  for (int i = 0; i < 8; ++i) s += kHex[azar() % 16];
  return s;
}

}  // namespace

std::string fechaExportacion(std::time_t fecha, std::time_t hora) {
#ifdef _WIN32
  const SYSTEMTIME f = local(fecha);
  const SYSTEMTIME h = local(hora);
  std::array<wchar_t, 128> d{}, t{};
  if (!GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &f, nullptr, d.data(),
                       static_cast<int>(d.size()), nullptr) ||
      !GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &h, nullptr, t.data(),
                       static_cast<int>(t.size())))
    throw Error("No se puede dar formato a la fecha de exportación");
  return deAncho(d.data()) + " " + deAncho(t.data());
#else
  LocaleUsuario usuario;
  return usuario.formatear(D_FMT, fecha) + " " + usuario.formatear(T_FMT, hora);
#endif
}

std::string fechaExportacionAhora() {
  const std::time_t fecha = std::time(nullptr);
  const std::time_t hora = std::time(nullptr);
  return fechaExportacion(fecha, hora);
}

DocumentoHorario::DocumentoHorario(XmlDocument cargado, std::string_view fechaExportacionUtf8)
    : doc_(std::move(cargado)) {
  const XmlNode raiz = doc_.root();
  const std::string archivo = doc_.file().string();
  if (!raiz.valid() || raiz.name() != "Centro")
    throw ErrorXml("El documento " + archivo + " no tiene el elemento raíz Centro");
  struct Campo {
    const char* nombre;
    std::string CabeceraCentro::*valor;
  };
  for (const Campo& c : {Campo{"Codigo", &CabeceraCentro::Codigo},
                         Campo{"Nombre", &CabeceraCentro::Nombre},
                         Campo{"CursoEscolar", &CabeceraCentro::CursoEscolar},
                         Campo{"Version", &CabeceraCentro::Version}}) {
    if (!raiz.hasAttribute(c.nombre))
      throw ErrorXml("El documento " + archivo + " no tiene el atributo " + c.nombre +
                     " en su elemento raíz Centro (línea " + std::to_string(raiz.line()) + ")");
    cabecera_.*c.valor = raiz.attribute(c.nombre);
  }

  xmlDocPtr doc = doc_.raw();
  // The old root goes with everything inside it; nodes before and after it stay.
  xmlNodePtr viejo = raiz.raw();
  xmlUnlinkNode(viejo);
  xmlFreeNode(viejo);

  // The new root is the document's last child, after any comment that followed the old one.
  xmlNodePtr centro = creado(xmlNewDocNode(doc, nullptr, X("Centro"), nullptr));
  anadir(reinterpret_cast<xmlNodePtr>(doc), centro);
  atributo(centro, "Codigo", cabecera_.Codigo);
  atributo(centro, "Nombre", cabecera_.Nombre);
  atributo(centro, "CursoEscolar", cabecera_.CursoEscolar);
  creado(xmlNewProp(centro, X("FechaExportacion"), X(std::string(fechaExportacionUtf8).c_str())));
  atributo(centro, "Version", cabecera_.Version);

  anadir(centro, texto(doc, kSangriaHorario));
  horario_ = creado(xmlNewDocNode(doc, nullptr, X("horario"), nullptr));
  anadir(centro, horario_);
  anadir(centro, texto(doc, kFinCentro));
}

void DocumentoHorario::agregarActividad(const Actividad& a) {
  xmlDocPtr doc = doc_.raw();
  if (!cierre_) {
    cierre_ = texto(doc, kSangriaHorario);
    anadir(horario_, cierre_);
  }
  xmlNodePtr actividad = creado(xmlNewDocNode(doc, nullptr, X("actividad"), nullptr));
  // Insert the element before the closing line break first and its indentation before it:
  // libxml2 merges a text node put next to another text node.
  if (!xmlAddPrevSibling(cierre_, actividad)) {
    xmlFreeNode(actividad);
    throw std::bad_alloc();
  }
  xmlNodePtr sangria = texto(doc, kSangriaActividad);
  if (!xmlAddPrevSibling(actividad, sangria)) {
    xmlFreeNode(sangria);
    throw std::bad_alloc();
  }
  atributo(actividad, "tipo", a.tipo);
  atributo(actividad, "codigoProfesor", a.codigoProfesor);
  atributo(actividad, "codigoGrupo", a.codigoGrupo);
  atributo(actividad, "codigoMateria", a.codigoMateria);
  atributo(actividad, "codigoAula", a.codigoAula);
  atributo(actividad, "dia", a.dia);
  atributo(actividad, "HoraInicio", a.HoraInicio);
  atributo(actividad, "HoraFin", a.HoraFin);
  ++actividades_;
}

std::string DocumentoHorario::serializar() const {
  xmlDocPtr doc = doc_.raw();
  const char* codificacion =
      doc->encoding ? reinterpret_cast<const char*>(doc->encoding) : kCodificacionPorDefecto;
  xmlChar* memoria = nullptr;
  int tamano = 0;
  // No formatting: the kept nodes are written as they were loaded, and the new elements
  // carry their own line breaks.
  xmlDocDumpFormatMemoryEnc(doc, &memoria, &tamano, codificacion, 0);
  if (!memoria)
    throw ErrorXml("No se puede escribir el documento " + doc_.file().string() +
                   " en la codificación " + codificacion);
  std::unique_ptr<xmlChar, void (*)(void*)> liberar(memoria, xmlFree);
  return std::string(reinterpret_cast<const char*>(memoria), static_cast<std::size_t>(tamano));
}

void DocumentoHorario::guardar(const fs::path& destino, SistemaArchivos& archivos) const {
  const std::string bytes = serializar();
  fs::path temporal = destino;
  temporal += sufijoTemporal();
  try {
    archivos.escribir(temporal, bytes);
    archivos.renombrar(temporal, destino);
  } catch (...) {
    try {
      archivos.eliminar(temporal);
    } catch (...) {
      std::error_code ec;
      fs::remove(temporal, ec);
    }
    throw;
  }
}

}  // namespace tov
