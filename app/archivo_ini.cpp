#include "app/archivo_ini.h"

#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "app/errores.h"

namespace tov {
namespace {

// Windows' own ini files, and what the host reads best.
constexpr std::string_view kFinLineaNuevo = "\r\n";

// Blanks that the private-profile functions skip around names and values.
bool esBlanco(char c) { return c == ' ' || c == '\t'; }

std::string_view recortar(std::string_view s) {
  while (!s.empty() && esBlanco(s.front())) s.remove_prefix(1);
  while (!s.empty() && esBlanco(s.back())) s.remove_suffix(1);
  return s;
}

bool igualesSinMayusculas(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto baja = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (baja(a[i]) != baja(b[i])) return false;
  }
  return true;
}

// One line of the file: [inicio, fin) its text, [fin, siguiente) its line break (may be empty).
struct Linea {
  std::size_t inicio, fin, siguiente;
};

std::vector<Linea> partirLineas(std::string_view t) {
  std::vector<Linea> lineas;
  std::size_t i = 0;
  while (i < t.size()) {
    std::size_t nl = t.find('\n', i);
    if (nl == std::string_view::npos) {
      // A CR that ends the text is this line's break: once a line is added after it, it
      // becomes the CR of a CRLF, and the line must read the same before and after.
      std::size_t fin = t.back() == '\r' ? t.size() - 1 : t.size();
      lineas.push_back({i, fin, t.size()});
      break;
    }
    std::size_t fin = nl > i && t[nl - 1] == '\r' ? nl - 1 : nl;
    lineas.push_back({i, fin, nl + 1});
    i = nl + 1;
  }
  return lineas;
}

std::string_view finDeLinea(std::string_view t) {
  std::size_t nl = t.find('\n');
  if (nl == std::string_view::npos) return kFinLineaNuevo;
  return nl > 0 && t[nl - 1] == '\r' ? std::string_view("\r\n") : std::string_view("\n");
}

// What the text's last line needs before a line is added after it: a whole break when it
// has none, the LF of a CRLF when it ends in a lone CR.
std::string_view cierrePendiente(std::string_view t, const Linea& ultima, std::string_view fin) {
  if (ultima.siguiente != t.size()) return {};
  if (ultima.fin == ultima.siguiente) return fin;
  return t[ultima.siguiente - 1] == '\r' ? std::string_view("\n") : std::string_view();
}

// The section's name when the line is a header "[name]", else nothing.
bool esCabecera(std::string_view linea, std::string_view& nombre) {
  std::string_view s = recortar(linea);
  if (s.empty() || s.front() != '[') return false;
  std::size_t cierre = s.find(']');
  nombre = recortar(s.substr(1, cierre == std::string_view::npos ? s.npos : cierre - 1));
  return true;
}

}  // namespace

std::string fijarValorIni(std::string_view t, std::string_view seccion, std::string_view clave,
                          std::string_view valor) {
  const std::string_view fin = finDeLinea(t);
  const std::string nuevaLinea = std::string(clave) + "=" + std::string(valor);
  const std::vector<Linea> lineas = partirLineas(t);

  std::size_t i = 0;
  std::string_view nombre;
  while (i < lineas.size() &&
         !(esCabecera(t.substr(lineas[i].inicio, lineas[i].fin - lineas[i].inicio), nombre) &&
           igualesSinMayusculas(nombre, seccion)))
    ++i;

  if (i == lineas.size()) {  // no such section: append it
    std::string r(t);
    if (!lineas.empty()) r += cierrePendiente(t, lineas.back(), fin);
    r += "[" + std::string(seccion) + "]";
    r += fin;
    r += nuevaLinea;
    r += fin;
    return r;
  }

  std::size_t ultimaConTexto = i;  // the header at least
  for (std::size_t j = i + 1; j < lineas.size(); ++j) {
    std::string_view linea = t.substr(lineas[j].inicio, lineas[j].fin - lineas[j].inicio);
    if (esCabecera(linea, nombre)) break;
    if (recortar(linea).empty()) continue;
    ultimaConTexto = j;
    std::size_t igual = linea.find('=');
    if (igual == std::string_view::npos || !igualesSinMayusculas(recortar(linea.substr(0, igual)), clave))
      continue;
    // Replace the value only: the key as written, the '=' and the blanks after it stay.
    std::size_t desde = lineas[j].inicio + igual + 1;
    while (desde < lineas[j].fin && esBlanco(t[desde])) ++desde;
    std::string r(t.substr(0, desde));
    r += valor;
    r += t.substr(lineas[j].fin);
    return r;
  }

  const Linea& ultima = lineas[ultimaConTexto];
  std::string r(t.substr(0, ultima.siguiente));
  r += cierrePendiente(t, ultima, fin);  // the file's last line had no (whole) break
  r += nuevaLinea;
  r += fin;
  r += t.substr(ultima.siguiente);
  return r;
}

void escribirValorIni(const std::filesystem::path& ruta, std::string_view seccion,
                      std::string_view clave, std::string_view valor, SistemaArchivos& archivos) {
  const std::string noSePuede = "Unable to write to " + ruta.string();
  std::error_code ec;
  std::string contenido;
  if (std::filesystem::exists(ruta, ec)) {
    if (!std::filesystem::is_regular_file(ruta, ec)) throw ErrorArchivo(noSePuede);
    std::ifstream f(ruta, std::ios::binary);
    if (!f) throw ErrorArchivo(noSePuede);
    contenido.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    if (f.bad()) throw ErrorArchivo(noSePuede);
  } else if (ec) {
    throw ErrorArchivo(noSePuede);
  }
  // Written aside and moved over the old file, so the host never reads half a file.
  std::filesystem::path aparte = ruta;
  aparte += ".nuevo";
  try {
    archivos.escribir(aparte, fijarValorIni(contenido, seccion, clave, valor));
    archivos.renombrar(aparte, ruta);
  } catch (const Error&) {
    std::filesystem::remove(aparte, ec);
    throw ErrorArchivo(noSePuede);
  }
}

}  // namespace tov
