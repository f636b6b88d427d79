// Short codes: the catalogue lists, the per-builder list of codes given out, the suffix
// search and the end squeeze that keep the four-character codes of the work tables apart.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace tov {

// Hash that lets a set of std::string be asked with a string_view without a copy.
struct HashTexto {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using ConjuntoTextos = std::unordered_set<std::string, HashTexto, std::equal_to<>>;

// Where the last suffix search of each prefix stopped. Lists only ever grow, so every
// number below that point is still taken and the next search may start there.
using ReanudarBusqueda = std::unordered_map<std::string, std::uint64_t, HashTexto, std::equal_to<>>;

// ListaCodigos and ListaNombres: whole Windows-1252 texts, letter case significant.
class ListaCatalogo {
 public:
  bool contiene(std::string_view texto) const { return textos_.find(texto) != textos_.end(); }
  void anadir(std::string texto) { textos_.insert(std::move(texto)); }
  void vaciar() {
    textos_.clear();
    reanudar_.clear();
  }
  std::size_t size() const { return textos_.size(); }

 private:
  friend std::string BuscarCodigoLibre(std::string_view prefijo, const ListaCatalogo& lista);
  ConjuntoTextos textos_;
  mutable ReanudarBusqueda reanudar_;
};

// CodigosUsados of one builder: compared without regard to letter case under
// Windows-1252 rules (accents are not ignored). Adding never refuses a code.
class CodigosUsados {
 public:
  bool contiene(std::string_view codigo) const;
  void anadir(std::string_view codigo);
  std::size_t size() const { return anadidos_; }

 private:
  friend std::string BuscarCodigoLibre(std::string_view prefijo, const CodigosUsados& lista);
  ConjuntoTextos plegados_;  // each code as foldCase gives it
  std::size_t anadidos_ = 0;
  mutable ReanudarBusqueda reanudar_;  // keyed by the folded prefix
};

// The prefix followed by 1, 2, 3... : the first candidate the list does not hold. The bare
// prefix is never returned. Does not change the list.
std::string BuscarCodigoLibre(std::string_view prefijo, const ListaCatalogo& lista);
std::string BuscarCodigoLibre(std::string_view prefijo, const CodigosUsados& lista);

// A code of at most four characters as it is; a longer one as its first two and last two.
std::string AcortarCodigo(std::string_view codigo);

// The first n characters of a Windows-1252 text (one byte each); all of it when shorter.
inline std::string_view primeros(std::string_view texto, std::size_t n) {
  return texto.substr(0, n);
}

}  // namespace tov
