#include "timetable_to_centre/documento_horario.h"

#include <libxml/encoding.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>

#include <algorithm>
#include <array>
#include <climits>
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

// Each Windows-1252 byte as libxml2's serialiser writes it in an attribute value, in UTF-8
// before the output encoding: the markup characters as entities, the line breaks and the tab
// as character references (so that a reader does not normalise them to blanks), the rest as
// the character itself.
class EscapeAtributo {
 public:
  EscapeAtributo() {
    for (int b = 1; b < 256; ++b) tabla_[b] = windows1252ToUtf8(std::string(1, static_cast<char>(b)));
    tabla_['&'] = "&amp;";
    tabla_['<'] = "&lt;";
    tabla_['>'] = "&gt;";
    tabla_['"'] = "&quot;";
    tabla_['\n'] = "&#10;";
    tabla_['\r'] = "&#13;";
    tabla_['\t'] = "&#9;";
  }

  void anadir(std::string& destino, std::string_view valor1252) const {
    for (char c : valor1252) {
      const unsigned char b = static_cast<unsigned char>(c);
      // The value is handed to libxml2 as a C string: it ends at a NUL byte.
      if (b == 0) return;
      if (b < 0x80 && b != '&' && b != '<' && b != '>' && b != '"' && b >= 0x20)
        destino += c;
      else
        destino += tabla_[b];
    }
  }

 private:
  std::array<std::string, 256> tabla_;
};

const EscapeAtributo& escapeAtributo() {
  static const EscapeAtributo escape;
  return escape;
}

// UTF-8 text in `codificacion` through libxml2's own encoder, which writes a character the
// encoding lacks as a character reference, as its serialiser does; without what the encoder
// puts before any text (a byte order mark).
std::string codificar(const char* codificacion, std::string_view utf8) {
  auto pasar = [codificacion](std::string_view texto) {
    std::string bytes;
    xmlCharEncodingHandlerPtr conversor = xmlFindCharEncodingHandler(codificacion);
    if (!conversor) return bytes;
    const auto escribir = [](void* destino, const char* datos, int n) {
      static_cast<std::string*>(destino)->append(datos, static_cast<std::size_t>(n));
      return n;
    };
    std::unique_ptr<xmlOutputBuffer, int (*)(xmlOutputBufferPtr)> salida(
        creado(xmlOutputBufferCreateIO(escribir, nullptr, &bytes, conversor)),
        xmlOutputBufferClose);
    for (std::size_t hecho = 0; hecho < texto.size();) {
      const int trozo = static_cast<int>(std::min<std::size_t>(texto.size() - hecho, INT_MAX / 2));
      if (xmlOutputBufferWrite(salida.get(), trozo, texto.data() + hecho) < 0) throw std::bad_alloc();
      hecho += static_cast<std::size_t>(trozo);
    }
    if (xmlOutputBufferFlush(salida.get()) < 0) bytes.clear();
    return bytes;
  };
  std::string bytes = pasar(utf8);
  const std::string inicio = pasar({});
  if (bytes.compare(0, inicio.size(), inicio) == 0) bytes.erase(0, inicio.size());
  return bytes;
}

bool esUtf8(const char* codificacion) {
  std::string nombre(codificacion);
  for (char& c : nombre)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return nombre == "UTF-8" || nombre == "UTF8";
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

const char* DocumentoHorario::codificacion() const {
  xmlDocPtr doc = doc_.raw();
  return doc->encoding ? reinterpret_cast<const char*>(doc->encoding) : kCodificacionPorDefecto;
}

std::string DocumentoHorario::errorCodificacion() const {
  return "No se puede escribir el documento " + doc_.file().string() + " en la codificación " +
         codificacion();
}

std::string DocumentoHorario::volcado() const {
  xmlChar* memoria = nullptr;
  int tamano = 0;
  // No formatting: the kept nodes are written as they were loaded, and the new elements
  // carry their own line breaks.
  xmlDocDumpFormatMemoryEnc(doc_.raw(), &memoria, &tamano, codificacion(), 0);
  if (!memoria) throw ErrorXml(errorCodificacion());
  std::unique_ptr<xmlChar, void (*)(void*)> liberar(memoria, xmlFree);
  return std::string(reinterpret_cast<const char*>(memoria), static_cast<std::size_t>(tamano));
}

std::string DocumentoHorario::cola() const {
  // Once there is an actividad, horario holds only its closing line break, so the file ends
  // with these tags; the actividad lines go before them.
  const std::string tags = std::string(kSangriaHorario) + "</horario>" + kFinCentro + "</Centro>\n";
  return esUtf8(codificacion()) ? tags : codificar(codificacion(), tags);
}

// libxml2's serialisation without its closing tags `cola`.
std::string DocumentoHorario::sinCola(std::string volcado, const std::string& cola) const {
  if (cola.empty() || volcado.size() < cola.size() ||
      volcado.compare(volcado.size() - cola.size(), cola.size(), cola) != 0)
    throw ErrorXml(errorCodificacion());
  volcado.resize(volcado.size() - cola.size());
  return volcado;
}

void DocumentoHorario::agregarActividad(const Actividad& a) {
  // A typical actividad line, to reserve room for the ones announced.
  constexpr std::size_t kBytesPorActividad = 192;
  std::size_t quitar = 0;  // the closing tags at the end of texto_, kept out while appending
  if (!cierre_) {
    cierre_ = texto(doc_.raw(), kSangriaHorario);
    anadir(horario_, cierre_);
    completo_ = esUtf8(codificacion());
    if (completo_) {
      colaUtf8_ = cola();
      texto_ = sinCola(volcado(), colaUtf8_);
      texto_.reserve(texto_.size() + reserva_ * kBytesPorActividad + colaUtf8_.size());
    } else {
      texto_.reserve(reserva_ * kBytesPorActividad);
    }
  } else if (completo_) {
    quitar = colaUtf8_.size();
  }
  texto_.resize(texto_.size() - quitar);

  const EscapeAtributo& escape = escapeAtributo();
  texto_ += kSangriaActividad;
  texto_ += "<actividad";
  for (const auto& [nombre, valor] : {std::pair<const char*, const std::string*>{" tipo=\"", &a.tipo},
                                      {" codigoProfesor=\"", &a.codigoProfesor},
                                      {" codigoGrupo=\"", &a.codigoGrupo},
                                      {" codigoMateria=\"", &a.codigoMateria},
                                      {" codigoAula=\"", &a.codigoAula},
                                      {" dia=\"", &a.dia},
                                      {" HoraInicio=\"", &a.HoraInicio},
                                      {" HoraFin=\"", &a.HoraFin}}) {
    texto_ += nombre;
    escape.anadir(texto_, *valor);
    texto_ += '"';
  }
  texto_ += "/>";
  if (completo_) texto_ += colaUtf8_;
  ++actividades_;
}

std::string DocumentoHorario::serializar() const {
  if (actividades_ == 0) return volcado();
  if (completo_) return texto_;
  const std::string fin = cola();
  std::string bytes = sinCola(volcado(), fin);
  bytes += codificar(codificacion(), texto_);
  bytes += fin;
  return bytes;
}

void DocumentoHorario::guardar(const fs::path& destino, SistemaArchivos& archivos) const {
  // The whole file is already at hand in UTF-8: no copy of it.
  std::string otraCodificacion;
  if (!completo_) otraCodificacion = serializar();
  const std::string_view bytes = completo_ ? std::string_view(texto_) : otraCodificacion;
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
