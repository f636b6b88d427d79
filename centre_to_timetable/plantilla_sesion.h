// The session template: day letters, time normalisation and the 23-character entry of
// the sorted template list, and the reading of an entry back into a period.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tov {

// Day number 1..7 of a capital day letter (L M X J V S D), none for anything else.
std::optional<int> numeroDeDia(char16_t letra);

// Day name in Windows-1252 ("Lunes" ... "Domingo") of a day number 1..7.
std::string_view nombreDeDia(int dia);

// HH:MM as it is, H:MM with a leading zero, HH:MM:SS without its seconds; none for any
// other form (an empty text included). Digits are not range-checked.
std::optional<std::string> normalizarHora(std::string_view hora);

// Day digit, start, end, a blank, start, "-", end: 23 characters for HH:MM times, so that
// text order is day, then start, then end.
std::string entradaPlantilla(int dia, std::string_view inicio, std::string_view fin);

// Adds an entry keeping the list in ascending text order; equal entries are all kept.
void anadirEntrada(std::vector<std::string>& lista, std::string entrada);

// Minutes after midnight of an HH:MM time read by position (hours at 1-2, minutes at 4-5).
int minutosDelDia(std::string_view hhmm);

// One entry of the template list, read back by position.
struct Periodo {
  int dia = 0;
  std::string inicio;  // positions 2-6
  std::string fin;     // positions 7-11
  std::string texto;   // positions 13-23: "inicio-fin"
  int minutos = 0;     // end minus start; negative when the end is before the start
};
Periodo leerEntrada(std::string_view entrada);

}  // namespace tov
