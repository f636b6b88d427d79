// The run report: rows written per table and every element or row that a rule
// dropped or bent, for the user to check. Texts are UTF-8.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace tov {

struct Aviso {
  std::string tipo;     // short machine name, e.g. "materia_no_escrita"
  std::string mensaje;  // Spanish sentence for the user
  int linea = 0;        // line in the XML document, or row in SOLUC; 0 when none
};

class Informe {
 public:
  void avisar(std::string tipo, std::string mensaje, int linea = 0);
  // Records (or replaces) the number of rows written to a table, keeping first-seen order.
  void filas(const std::string& tabla, long numero);

  const std::vector<Aviso>& avisos() const { return avisos_; }
  const std::vector<std::pair<std::string, long>>& tablas() const { return tablas_; }
  // Readable text: one line per table, then one per notice.
  std::string texto() const;

 private:
  std::vector<Aviso> avisos_;
  std::vector<std::pair<std::string, long>> tablas_;
};

}  // namespace tov
