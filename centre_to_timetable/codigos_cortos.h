// Short codes: the catalogue lists, the per-builder list of codes given out, the suffix
// search and the end squeeze that keep the four-character codes of the work tables apart.
#pragma once
#include <string>
#include <string_view>
#include <unordered_set>

namespace tov {

// ListaCodigos and ListaNombres: whole Windows-1252 texts, letter case significant.
class ListaCatalogo {
 public:
  bool contiene(std::string_view texto) const { return textos_.count(std::string(texto)) != 0; }
  void anadir(std::string texto) { textos_.insert(std::move(texto)); }
  void vaciar() { textos_.clear(); }
  std::size_t size() const { return textos_.size(); }

 private:
  std::unordered_set<std::string> textos_;
};

// CodigosUsados of one builder: compared without regard to letter case under
// Windows-1252 rules (accents are not ignored).
class CodigosUsados {
 public:
  bool contiene(std::string_view codigo) const;
  void anadir(std::string_view codigo);
  std::size_t size() const { return plegados_.size(); }

 private:
  std::unordered_multiset<std::string> plegados_;
};

// The prefix followed by 1, 2, 3... : the first candidate the list does not hold.
std::string BuscarCodigoLibre(std::string_view prefijo, const ListaCatalogo& lista);
std::string BuscarCodigoLibre(std::string_view prefijo, const CodigosUsados& lista);

// A code of at most four characters as it is; a longer one as its first two and last two.
std::string AcortarCodigo(std::string_view codigo);

}  // namespace tov
