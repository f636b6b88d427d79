#include "centre_to_timetable/plantilla_sesion.h"

#include <algorithm>

namespace tov {
namespace {

// Fixed positions of an entry (0-based): day digit, start, end, blank, "start-end".
constexpr std::size_t kPosDia = 0;
constexpr std::size_t kPosInicio = 1;
constexpr std::size_t kPosFin = 6;
constexpr std::size_t kPosTexto = 12;
constexpr std::size_t kAnchoHora = 5;    // HH:MM
constexpr std::size_t kAnchoTexto = 11;  // HH:MM-HH:MM

bool esDigito(char c) { return c >= '0' && c <= '9'; }

// True when `texto` has the shape of `patron`, where 'd' is a digit and anything else
// stands for itself.
bool tieneForma(std::string_view texto, std::string_view patron) {
  if (texto.size() != patron.size()) return false;
  for (std::size_t i = 0; i < texto.size(); ++i)
    if (patron[i] == 'd' ? !esDigito(texto[i]) : texto[i] != patron[i]) return false;
  return true;
}

// A number of one or two characters read as decimal digits; a character that is not a
// digit counts as 0, which only happens for entries built from unchecked times.
int numero(std::string_view digitos) {
  int n = 0;
  for (char c : digitos) n = n * 10 + (esDigito(c) ? c - '0' : 0);
  return n;
}

}  // namespace

std::optional<int> numeroDeDia(char16_t letra) {
  switch (letra) {
    case u'L': return 1;
    case u'M': return 2;
    case u'X': return 3;
    case u'J': return 4;
    case u'V': return 5;
    case u'S': return 6;
    case u'D': return 7;
    default: return std::nullopt;
  }
}

std::string_view nombreDeDia(int dia) {
  // Windows-1252: 0xE9 is é, 0xE1 is á.
  static constexpr std::string_view kNombres[] = {"Lunes",   "Martes", "Mi\xE9rcoles", "Jueves",
                                                  "Viernes", "S\xE1" "bado", "Domingo"};
  return dia >= 1 && dia <= 7 ? kNombres[dia - 1] : std::string_view();
}

std::optional<std::string> normalizarHora(std::string_view hora) {
  if (tieneForma(hora, "dd:dd")) return std::string(hora);
  if (tieneForma(hora, "d:dd")) return "0" + std::string(hora);
  if (tieneForma(hora, "dd:dd:dd")) return std::string(hora.substr(0, kAnchoHora));
  return std::nullopt;
}

std::string entradaPlantilla(int dia, std::string_view inicio, std::string_view fin) {
  std::string e = std::to_string(dia);
  e += inicio;
  e += fin;
  e += ' ';
  e += inicio;
  e += '-';
  e += fin;
  return e;
}

void anadirEntrada(std::vector<std::string>& lista, std::string entrada) {
  auto donde = std::upper_bound(lista.begin(), lista.end(), entrada);
  lista.insert(donde, std::move(entrada));
}

int minutosDelDia(std::string_view hhmm) {
  return 60 * numero(hhmm.substr(0, 2)) + numero(hhmm.substr(3, 2));
}

Periodo leerEntrada(std::string_view entrada) {
  Periodo p;
  p.dia = numero(entrada.substr(kPosDia, 1));
  p.inicio = std::string(entrada.substr(kPosInicio, kAnchoHora));
  p.fin = std::string(entrada.substr(kPosFin, kAnchoHora));
  p.texto = std::string(entrada.substr(std::min(kPosTexto, entrada.size()), kAnchoTexto));
  p.minutos = minutosDelDia(p.fin) - minutosDelDia(p.inicio);
  return p;
}

}  // namespace tov
