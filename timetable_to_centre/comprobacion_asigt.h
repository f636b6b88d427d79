// A check beyond the export itself: the lessons placed for each group and subject against
// the sessions that ASIGT asks for. A lesson meets its ASIGT rows through the group's
// TURNO, NIVEL, CURSO and GRUPO (which ASIGT repeats from GRUPOST) and the subject's
// school code cut to four characters (which is what ASIGT's CASIG holds).
#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/informe.h"

namespace tov {

class DbfTable;

class ComprobacionAsigt {
 public:
  // One written lesson: `grupo` stands on its GRUPOST row; `abrevGestion` is the subject's
  // ABREV_GESTION from ASIGNOMT; `filaSoluc` its row in SOLUC.
  void colocar(const DbfTable& grupo, std::string_view abrevGestion, int filaSoluc);

  // Walks ASIGT and adds a notice for every group and subject whose placed lessons differ
  // from the rounded-up HORAS, and for every one found on one side only. A table that
  // cannot be read for the check gives a notice, never an error.
  void comprobar(DbfTable& asigt, Informe& informe);

 private:
  struct Par {
    std::string descripcion;  // UTF-8, for the notices
    long colocadas = 0;
    long pedidas = 0;
    bool enAsigt = false;
    int primeraFilaSoluc = 0;
    int primeraFilaAsigt = 0;
  };
  Par& par(const std::string& turno, const std::string& nivel, const std::string& curso,
           const std::string& grupo, const std::string& asig);

  std::vector<Par> pares_;  // first-seen order, so the report reads in table order
  std::unordered_map<std::string, std::size_t> indice_;
  std::string clave_;  // the key being looked up, kept to reuse its buffer
  std::string fallo_;  // why the check could not be made, when it could not
};

}  // namespace tov
