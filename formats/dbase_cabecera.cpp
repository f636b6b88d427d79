#include "formats/dbase_cabecera.h"

#include <algorithm>
#include <cstring>

#include "app/errores.h"
#include "formats/windows1252.h"

namespace tov::dbase {
namespace {

// The level is the low three bits of the version byte: 3 for III/IV/5 (0x03, 0x83, 0x8B...),
// 4 for dBase 7 (0x04, 0x8C).
constexpr std::uint8_t kMascaraNivel = 0x07;
constexpr std::uint8_t kNivel3 = 3;
constexpr std::uint8_t kNivel7 = 4;

std::uint32_t leer32(std::string_view b, std::size_t off) {
  return std::uint32_t(std::uint8_t(b[off])) | std::uint32_t(std::uint8_t(b[off + 1])) << 8 |
         std::uint32_t(std::uint8_t(b[off + 2])) << 16 | std::uint32_t(std::uint8_t(b[off + 3])) << 24;
}
std::uint16_t leer16(std::string_view b, std::size_t off) {
  return std::uint16_t(std::uint8_t(b[off]) | std::uint8_t(b[off + 1]) << 8);
}
void poner32(std::string& b, std::size_t off, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[off + i] = char((v >> (8 * i)) & 0xFF);
}
void poner16(std::string& b, std::size_t off, std::uint16_t v) {
  b[off] = char(v & 0xFF);
  b[off + 1] = char(v >> 8);
}

// Widths that the binary types must have: anything else would read outside the field.
int anchoFijo(char tipo) {
  switch (tipo) {
    case 'L': return 1;
    case 'D': return 8;
    case 'I': case '+': return 4;
    case 'O': case '@': return 8;
    default: return 0;
  }
}

[[noreturn]] void corrupta(const std::string& ruta, const std::string& motivo) {
  throw ErrorTabla("La tabla " + ruta + " está dañada: " + motivo);
}

}  // namespace

Cabecera leerCabecera(std::string_view a, const std::string& ruta) {
  if (a.size() < kCabeceraNivel3) corrupta(ruta, "el archivo es más corto que una cabecera dBase");
  Cabecera c;
  c.version = std::uint8_t(a[kOffVersion]);
  const std::uint8_t nivel = c.version & kMascaraNivel;
  if (nivel != kNivel3 && nivel != kNivel7)
    corrupta(ruta, "versión dBase desconocida (" + std::to_string(c.version) + ")");
  const bool nivel7 = nivel == kNivel7;
  const std::size_t fija = nivel7 ? kCabeceraNivel7 : kCabeceraNivel3;
  const std::size_t tamDesc = nivel7 ? kDescriptorNivel7 : kDescriptorNivel3;
  c.fecha = {1900 + std::uint8_t(a[kOffFecha]), std::uint8_t(a[kOffFecha + 1]),
             std::uint8_t(a[kOffFecha + 2])};
  c.numRegistros = leer32(a, kOffNumRegistros);
  c.longCabecera = leer16(a, kOffLongCabecera);
  c.longRegistro = leer16(a, kOffLongRegistro);
  c.indiceProduccion = a[kOffIndiceProduccion] != 0;

  // The header length is authoritative: a level-7 field-properties block may follow the
  // terminator, and some writers leave padding there.
  if (c.longCabecera > a.size())
    corrupta(ruta, "la cabecera dice medir " + std::to_string(c.longCabecera) +
                       " bytes y el archivo tiene " + std::to_string(a.size()));
  if (c.longCabecera < fija + 1) corrupta(ruta, "la cabecera es demasiado corta");
  if (c.longRegistro < 1) corrupta(ruta, "la longitud de registro es 0");

  const std::size_t offTipo = nivel7 ? kOffTipo7 : kOffTipo3;
  const std::size_t offAncho = nivel7 ? kOffAncho7 : kOffAncho3;
  const std::size_t offDec = nivel7 ? kOffDecimales7 : kOffDecimales3;
  const std::size_t maxNombre = nivel7 ? kNombreNivel7 : kNombreNivel3;
  std::size_t offset = 1;  // byte 0 of a record is the deletion flag
  for (std::size_t pos = fija; pos < c.longCabecera; pos += tamDesc) {
    if (std::uint8_t(a[pos]) == kFinDescriptores) break;
    if (pos + tamDesc > c.longCabecera)
      corrupta(ruta, "un descriptor de campo sobrepasa la cabecera");
    Campo f;
    std::string_view nombre = a.substr(pos, maxNombre);
    f.nombre = std::string(nombre.substr(0, nombre.find('\0')));
    const std::string nombreUtf8 = windows1252ToUtf8(f.nombre);
    f.tipo = a[pos + offTipo];
    f.ancho = std::uint8_t(a[pos + offAncho]);
    f.decimales = std::uint8_t(a[pos + offDec]);
    f.offset = offset;
    if (f.ancho == 0) corrupta(ruta, "el campo " + nombreUtf8 + " tiene ancho 0");
    if (int fijo = anchoFijo(f.tipo); fijo && f.ancho != fijo)
      corrupta(ruta, "el campo " + nombreUtf8 + " de tipo " + std::string(1, f.tipo) +
                         " tiene ancho " + std::to_string(f.ancho) + " y no " + std::to_string(fijo));
    offset += std::size_t(f.ancho);
    if (offset > c.longRegistro)
      corrupta(ruta, "el campo " + nombreUtf8 + " sobrepasa el registro de " +
                         std::to_string(c.longRegistro) + " bytes");
    c.campos.push_back(std::move(f));
  }
  if (c.campos.empty()) corrupta(ruta, "no tiene campos");
  if (offset != c.longRegistro)
    corrupta(ruta, "la longitud de registro " + std::to_string(c.longRegistro) +
                       " no coincide con la de sus campos (" + std::to_string(offset) + ")");
  const std::size_t datos = a.size() - c.longCabecera;
  if (c.numRegistros > datos / c.longRegistro)
    corrupta(ruta, "la cabecera cuenta " + std::to_string(c.numRegistros) +
                       " registros y el archivo solo tiene datos para " +
                       std::to_string(datos / c.longRegistro));
  return c;
}

std::string escribirCabeceraNivel7(const Cabecera& c) {
  const std::size_t longCabecera = kCabeceraNivel7 + c.campos.size() * kDescriptorNivel7 + 1;
  std::string b(longCabecera, '\0');
  b[kOffVersion] = char(kVersionNivel7);
  std::size_t longRegistro = 1;
  for (const Campo& f : c.campos) longRegistro += std::size_t(f.ancho);
  poner16(b, kOffLongCabecera, std::uint16_t(longCabecera));
  poner16(b, kOffLongRegistro, std::uint16_t(longRegistro));
  b[kOffIndiceProduccion] = c.indiceProduccion ? 1 : 0;
  // Byte 29 stays 0: level 7 names its driver below instead of a code-page byte.
  std::memcpy(b.data() + kOffNombreIdioma, kDriverWindows1252.data(), kDriverWindows1252.size());
  std::size_t pos = kCabeceraNivel7;
  for (const Campo& f : c.campos) {
    std::memcpy(b.data() + pos, f.nombre.data(), std::min(f.nombre.size(), kNombreNivel7 - 1));
    b[pos + kOffTipo7] = f.tipo;
    b[pos + kOffAncho7] = char(f.ancho);
    b[pos + kOffDecimales7] = char(f.decimales);
    // The rest (per-field MDX flag at 37, next autoincrement value) stays 0, as dBase 7
    // and TDbf leave it for C, L and N fields.
    pos += kDescriptorNivel7;
  }
  b[pos] = char(kFinDescriptores);
  actualizarCabecera(b, c.numRegistros, c.fecha);
  return b;
}

void actualizarCabecera(std::string& b, std::uint32_t numRegistros, Fecha fecha) {
  b[kOffFecha] = char(fecha.anio - 1900);
  b[kOffFecha + 1] = char(fecha.mes);
  b[kOffFecha + 2] = char(fecha.dia);
  poner32(b, kOffNumRegistros, numRegistros);
}

}  // namespace tov::dbase
