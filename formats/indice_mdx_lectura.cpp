// Our own reader of .MDX files: walks one tag's tree and checks it on the way, so that
// tests can tell a well-formed index from a damaged one.
#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>

#include "app/errores.h"
#include "formats/indice_mdx.h"
#include "formats/indice_mdx_formato.h"

namespace tov::mdx {

using namespace formato;

namespace {

constexpr int kMaxNiveles = 16;  // far beyond any real tree; stops a loop of pointers

bool mismoNombre(const std::uint8_t* p, std::size_t hueco, std::string_view nombre) {
  std::size_t n = 0;
  while (n < hueco && p[n] != 0) ++n;
  if (n != nombre.size()) return false;
  for (std::size_t i = 0; i < n; ++i) {
    auto a = static_cast<unsigned char>(p[i]), b = static_cast<unsigned char>(nombre[i]);
    if (std::toupper(a) != std::toupper(b)) return false;
  }
  return true;
}

// Order of two dBase IV BCD keys: negatives < zero < positives; for the same sign the
// exponent byte decides, then the packed digits. Byte 1 counts digits and is not compared,
// since writers disagree on it (Xbase64 counts digits, TDbf counts bytes of digits).
int compararBcd(const std::uint8_t* a, const std::uint8_t* b, std::size_t largo) {
  auto clase = [largo](const std::uint8_t* k) {
    bool cero = std::all_of(k + kOffDigitos, k + largo, [](std::uint8_t x) { return x == 0; });
    if (cero) return 0;
    return (k[1] & kSignoNegativo) ? -1 : 1;
  };
  const int ca = clase(a), cb = clase(b);
  if (ca != cb || ca == 0) return ca < cb ? -1 : ca > cb ? 1 : 0;
  int r = a[0] != b[0] ? (a[0] < b[0] ? -1 : 1)
                       : std::memcmp(a + kOffDigitos, b + kOffDigitos, largo - kOffDigitos);
  r = r < 0 ? -1 : r > 0 ? 1 : 0;
  return ca < 0 ? -r : r;
}

class Recorrido {
 public:
  Recorrido(std::span<const std::uint8_t> f, std::string archivo) : f_(f), archivo_(std::move(archivo)) {}

  [[noreturn]] void fallo(const std::string& que) const {
    throw ErrorTabla("El índice " + archivo_ + " está dañado: " + que);
  }

  const std::uint8_t* bytes(std::size_t offset, std::size_t largo, const char* que) const {
    if (offset > f_.size() || largo > f_.size() - offset)
      fallo(std::string(que) + " queda fuera del archivo");
    return f_.data() + offset;
  }

  std::vector<std::uint32_t> etiqueta(std::string_view nombre) {
    const std::uint8_t* h = bytes(0, kPagina, "la cabecera");
    if (h[kOffVersion] != kVersionNivel7 && h[kOffVersion] != kVersionNivel4)
      fallo("versión " + std::to_string(h[kOffVersion]) + " desconocida");
    bloque_ = leer16(h + kOffBytesPorBloque);
    if (bloque_ < kPagina || bloque_ % kPagina != 0 || leer16(h + kOffPaginasPorBloque) * kPagina != bloque_)
      fallo("tamaño de bloque " + std::to_string(bloque_) + " no válido");
    const DisenoEtiqueta* d = h[kOffLongEtiqueta] == kLongEtiquetaNivel7   ? &kEtiquetaNivel7
                              : h[kOffLongEtiqueta] == kLongEtiquetaNivel4 ? &kEtiquetaNivel4
                                                                           : nullptr;
    if (!d) fallo("entradas de etiqueta de " + std::to_string(h[kOffLongEtiqueta]) + " bytes");
    const std::size_t usadas = leer16(h + kOffEtiquetasUsadas);
    if (usadas > h[kOffMaxEtiquetas]) fallo("más etiquetas que sitio para ellas");

    for (std::size_t i = 0; i < usadas; ++i) {
      const std::uint8_t* e = bytes(kOffTablaEtiquetas + (i + 1) * d->longitud, d->longitud, "la tabla de etiquetas");
      if (!mismoNombre(e + kOffEtiquetaNombre, d->longNombre, nombre)) continue;
      return arbol(leer32(e + kOffEtiquetaCabecera));
    }
    throw ErrorTabla("El índice " + archivo_ + " no tiene la etiqueta " + std::string(nombre));
  }

 private:
  struct Limites {
    const std::uint8_t* desde = nullptr;  // every key here is >= this one (when set)
    const std::uint8_t* hasta = nullptr;  // and <= this one
  };

  const std::uint8_t* bloque(std::uint32_t pagina, const char* que) const {
    if (pagina == 0) fallo(std::string(que) + " apunta a la cabecera");
    return bytes(std::size_t(pagina) * kPagina, bloque_, que);
  }

  std::vector<std::uint32_t> arbol(std::uint32_t paginaCabecera) {
    const std::uint8_t* c = bloque(paginaCabecera, "la cabecera de la etiqueta");
    numerica_ = c[kOffTipoClave] == kTipoNumerico;
    largoClave_ = leer16(c + kOffLongClave);
    largoEntrada_ = leer16(c + kOffLongEntrada);
    maxClaves_ = leer16(c + kOffMaxClaves);
    if (largoClave_ == 0 || largoEntrada_ < 4 + largoClave_ || maxClaves_ == 0 ||
        kOffEntradas + std::size_t(maxClaves_) * largoEntrada_ > bloque_)
      fallo("la cabecera de la etiqueta no describe nodos posibles");
    if (numerica_ && largoClave_ != kLongClaveNumerica)
      fallo("clave numérica de " + std::to_string(largoClave_) + " bytes");
    nodo(leer32(c + kOffRaiz), 0, {});
    return registros_;
  }

  int comparar(const std::uint8_t* a, const std::uint8_t* b) const {
    if (numerica_) return compararBcd(a, b, largoClave_);
    return std::memcmp(a, b, largoClave_);
  }

  void nodo(std::uint32_t pagina, int nivel, Limites lim) {
    if (nivel >= kMaxNiveles) fallo("el árbol tiene demasiados niveles");
    if (!visitadas_.insert(pagina).second)
      fallo("el bloque de la página " + std::to_string(pagina) + " aparece dos veces en el árbol");
    const std::uint8_t* b = bloque(pagina, "un nodo del árbol");
    const std::uint32_t n = leer32(b + kOffNumClaves);
    if (n > maxClaves_) fallo("el nodo de la página " + std::to_string(pagina) + " dice tener " + std::to_string(n) + " claves");
    auto entrada = [&](std::size_t i) { return b + kOffEntradas + i * largoEntrada_; };
    // TDbf's rule, which every writer we know follows: an interior node is not full and has
    // a pointer after its last key.
    const bool interior = n < maxClaves_ && leer32(entrada(n)) != 0;
    if (interior && kOffEntradas + (std::size_t(n) + 1) * largoEntrada_ > bloque_)
      fallo("el nodo de la página " + std::to_string(pagina) + " no cabe en su bloque");

    if (!interior) {
      for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint8_t* e = entrada(i);
        const std::uint32_t registro = leer32(e);
        if (registro == 0) fallo("una hoja apunta al registro 0");
        const std::uint8_t* clave = e + 4;
        if (anterior_ && comparar(anterior_, clave) > 0) fallo("las claves no están en orden");
        if ((lim.desde && comparar(clave, lim.desde) < 0) || (lim.hasta && comparar(clave, lim.hasta) > 0))
          fallo("una clave queda fuera de los límites de su nodo padre");
        anterior_ = clave;
        registros_.push_back(registro);
      }
      return;
    }
    for (std::uint32_t i = 0; i <= n; ++i) {
      const std::uint8_t* e = entrada(i);
      Limites hijo{i == 0 ? lim.desde : entrada(i - 1) + 4, i == n ? lim.hasta : e + 4};
      nodo(leer32(e), nivel + 1, hijo);
    }
  }

  std::span<const std::uint8_t> f_;
  std::string archivo_;
  std::size_t bloque_ = 0;
  bool numerica_ = false;
  std::size_t largoClave_ = 0, largoEntrada_ = 0, maxClaves_ = 0;
  std::unordered_set<std::uint32_t> visitadas_;
  const std::uint8_t* anterior_ = nullptr;
  std::vector<std::uint32_t> registros_;
};

}  // namespace

std::vector<std::uint32_t> walkTag(std::span<const std::uint8_t> file, std::string_view tagName,
                                   std::string_view fileName) {
  return Recorrido(file, std::string(fileName)).etiqueta(tagName);
}

}  // namespace tov::mdx
