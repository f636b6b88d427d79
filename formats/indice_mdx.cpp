#include "formats/indice_mdx.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <string>

#include "app/errores.h"
#include "formats/indice_mdx_formato.h"

namespace tov::mdx {

using namespace formato;

namespace {

std::string textoValor(double v) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

void ponerFecha(std::uint8_t* p, Date d) {
  p[0] = std::uint8_t(d.year - 1900);
  p[1] = std::uint8_t(d.month);
  p[2] = std::uint8_t(d.day);
}

using Clave = std::array<std::uint8_t, kLongClaveNumerica>;

// One node of the tree before it is laid out: its keys and what each entry points at.
struct Nodo {
  std::vector<std::uint32_t> punteros;  // records (leaf) or pages (interior)
  std::vector<Clave> claves;            // one per pointer; an interior's last is unused
};

std::vector<std::uint8_t> bloqueDe(const Nodo& n, bool hoja) {
  std::vector<std::uint8_t> b(kBloque, 0);
  const std::size_t numClaves = hoja ? n.punteros.size() : n.punteros.size() - 1;
  escribir32(&b[kOffNumClaves], std::uint32_t(numClaves));
  for (std::size_t i = 0; i < n.punteros.size(); ++i) {
    std::uint8_t* e = &b[kOffEntradas + i * kLongEntradaNumerica];
    escribir32(e, n.punteros[i]);
    if (i < numClaves) std::copy(n.claves[i].begin(), n.claves[i].end(), e + 4);
  }
  return b;
}

// Splits `total` items into `partes` runs whose lengths differ by one at most.
std::vector<std::size_t> repartir(std::size_t total, std::size_t partes) {
  std::vector<std::size_t> largos(partes, total / partes);
  for (std::size_t i = 0; i < total % partes; ++i) ++largos[i];
  return largos;
}

}  // namespace

std::array<std::uint8_t, 12> bcdKey(double value) {
  Clave k{};
  if (!std::isfinite(value))
    throw ErrorTabla("El valor " + textoValor(value) + " no puede ser una clave de índice numérica");
  if (value == 0.0) {
    // Zero has no digits: exponent byte alone, no sign even for -0.
    k[0] = kExponenteCero;
    k[1] = kBitsLongitud;
    return k;
  }
  // 15 significant digits in scientific form, "d.dddddddddddddde+XX", independent of locale.
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                         kMaxDigitos - 1);
  std::string_view texto(buf, std::size_t(r.ptr - buf));
  const std::size_t e = texto.find('e');
  std::string digitos;
  for (char c : texto.substr(0, e))
    if (c != '.') digitos += c;
  int exponente = 0;
  std::from_chars(texto.data() + e + 1 + (texto[e + 1] == '+'), texto.data() + texto.size(), exponente);
  while (digitos.size() > 1 && digitos.back() == '0') digitos.pop_back();
  const int antesDelPunto = exponente + 1;
  if (antesDelPunto < -int(kExponenteCero) || antesDelPunto > 0xFF - int(kExponenteCero))
    throw ErrorTabla("El valor " + textoValor(value) + " no cabe en una clave de índice numérica");

  k[0] = std::uint8_t(kExponenteCero + antesDelPunto);
  const std::size_t bytes = (digitos.size() + 1) / 2;
  k[1] = std::uint8_t(bytes * 8 + kBitsLongitud);
  if (value < 0) k[1] |= kSignoNegativo;
  for (std::size_t i = 0; i < digitos.size(); ++i) {
    const auto d = std::uint8_t(digitos[i] - '0');
    k[kOffDigitos + i / 2] |= (i % 2 == 0) ? std::uint8_t(d << 4) : d;
  }
  return k;
}

std::vector<std::uint8_t> buildNumericIndex(std::string_view tagName, std::string_view dbfBaseName,
                                            const std::vector<double>& keys, Date date) {
  const std::string archivo = std::string(dbfBaseName) + ".MDX";
  if (dbfBaseName.empty() || dbfBaseName.size() >= kLongNombreDbf)
    throw ErrorTabla("El índice " + archivo + " no admite el nombre de tabla '" + std::string(dbfBaseName) + "'");
  if (tagName.empty() || tagName.size() >= kEtiquetaNivel7.longNombre)
    throw ErrorTabla("El índice " + archivo + " no admite la etiqueta '" + std::string(tagName) + "'");

  // Keys in order; equal keys keep record order.
  std::vector<Clave> bcd(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    try {
      bcd[i] = bcdKey(keys[i]);
    } catch (const ErrorTabla& e) {
      throw ErrorTabla("Índice " + archivo + ", registro " + std::to_string(i + 1) + ": " + e.what());
    }
  }
  std::vector<std::uint32_t> orden(keys.size());
  std::iota(orden.begin(), orden.end(), 0u);
  std::stable_sort(orden.begin(), orden.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });

  // The tree, bottom up: leaves as full as they can be, evenly filled; then interior levels
  // until a single node is left. An empty index is one empty leaf.
  std::vector<std::vector<Nodo>> niveles(1);
  {
    const std::size_t numHojas = std::max<std::size_t>(1, (orden.size() + kMaxClavesNumericas - 1) / kMaxClavesNumericas);
    std::size_t siguiente = 0;
    for (std::size_t largo : repartir(orden.size(), numHojas)) {
      Nodo hoja;
      for (std::size_t i = 0; i < largo; ++i, ++siguiente) {
        hoja.punteros.push_back(orden[siguiente] + 1);  // records count from 1
        hoja.claves.push_back(bcd[orden[siguiente]]);
      }
      niveles[0].push_back(std::move(hoja));
    }
  }
  // Page numbers: header blocks, the tag header, one block TDbf 7 leaves unused after it
  // (kept so that our file matches its layout block for block), then the nodes level by level.
  const std::uint32_t paginaEtiqueta = kBloquesCabecera * kPaginasPorBloque;
  const std::uint32_t primeraPaginaArbol = paginaEtiqueta + 2 * kPaginasPorBloque;
  std::uint32_t siguientePagina = primeraPaginaArbol;
  std::vector<std::vector<std::uint32_t>> paginas(1);
  for (std::size_t i = 0; i < niveles[0].size(); ++i, siguientePagina += kPaginasPorBloque)
    paginas[0].push_back(siguientePagina);
  while (niveles.back().size() > 1) {
    const auto& abajo = niveles.back();
    const auto& paginasAbajo = paginas.back();
    const std::size_t hijosPorNodo = kMaxClavesInterior + 1;
    const std::size_t numNodos = (abajo.size() + hijosPorNodo - 1) / hijosPorNodo;
    std::vector<Nodo> nivel;
    std::vector<std::uint32_t> paginasNivel;
    std::size_t hijo = 0;
    for (std::size_t largo : repartir(abajo.size(), numNodos)) {
      Nodo n;
      for (std::size_t i = 0; i < largo; ++i, ++hijo) {
        n.punteros.push_back(paginasAbajo[hijo]);
        n.claves.push_back(abajo[hijo].claves.back());  // greatest key below this pointer
      }
      nivel.push_back(std::move(n));
      paginasNivel.push_back(siguientePagina);
      siguientePagina += kPaginasPorBloque;
    }
    niveles.push_back(std::move(nivel));
    paginas.push_back(std::move(paginasNivel));
  }
  const std::uint32_t paginasArchivo = siguientePagina;
  const std::uint32_t bloquesArbol = (paginasArchivo - primeraPaginaArbol) / kPaginasPorBloque;

  std::vector<std::uint8_t> f(std::size_t(paginasArchivo) * kPagina, 0);

  // File header and tag table.
  f[kOffVersion] = kVersionNivel7;
  ponerFecha(&f[kOffFechaCreacion], date);
  std::copy(dbfBaseName.begin(), dbfBaseName.end(), &f[kOffNombreDbf]);
  escribir16(&f[kOffPaginasPorBloque], kPaginasPorBloque);
  escribir16(&f[kOffBytesPorBloque], kBloque);
  f[kOffProduccion] = 1;
  f[kOffMaxEtiquetas] = kMaxEtiquetas;
  f[kOffLongEtiqueta] = kLongEtiquetaNivel7;
  escribir16(&f[kOffEtiquetasUsadas], 1);
  f[kOffIdioma] = kIdiomaWindows1252;
  escribir32(&f[kOffPaginasArchivo], paginasArchivo);
  escribir32(&f[kOffPrimeraLibre], 0);
  ponerFecha(&f[kOffFechaCambio], date);
  f[kOffMarcaEtiquetas] = 1;

  std::uint8_t* etiqueta = &f[kOffTablaEtiquetas + kEtiquetaNivel7.longitud];  // slot 0 is reserved
  escribir32(etiqueta + kOffEtiquetaCabecera, paginaEtiqueta);
  std::copy(tagName.begin(), tagName.end(), etiqueta + kOffEtiquetaNombre);
  etiqueta[kEtiquetaNivel7.offFormato] = kFormatoCampo;
  etiqueta[kEtiquetaNivel7.offReservado] = kReservadoEtiqueta;
  etiqueta[kEtiquetaNivel7.offTipo] = kTipoNumerico;

  // Tag header. Its page counter is TDbf's: the header's pages plus two per tree block.
  std::uint8_t* cab = &f[std::size_t(paginaEtiqueta) * kPagina];
  escribir32(cab + kOffRaiz, paginas.back().front());
  escribir32(cab + kOffPaginasEtiqueta, kBloquesCabecera * kPaginasPorBloque + bloquesArbol * kPaginasPorBloque);
  cab[kOffFormatoClave] = 0;
  cab[kOffTipoClave] = kTipoNumerico;
  escribir16(cab + kOffLongClave, kLongClaveNumerica);
  escribir16(cab + kOffMaxClaves, kMaxClavesNumericas);
  escribir16(cab + kOffLongEntrada, kLongEntradaNumerica);
  escribir16(cab + kOffVersionEtiqueta, kVersionEtiqueta);
  std::copy(tagName.begin(), tagName.end(), cab + kOffExpresion);  // the tag is named after its field
  cab[kOffHayExpresion] = 1;

  // Nodes.
  for (std::size_t nivel = 0; nivel < niveles.size(); ++nivel)
    for (std::size_t i = 0; i < niveles[nivel].size(); ++i) {
      auto b = bloqueDe(niveles[nivel][i], nivel == 0);
      std::copy(b.begin(), b.end(), &f[std::size_t(paginas[nivel][i]) * kPagina]);
    }
  return f;
}

}  // namespace tov::mdx
