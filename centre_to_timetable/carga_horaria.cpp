#include "centre_to_timetable/carga_horaria.h"

#include <charconv>
#include <cmath>

namespace tov {
namespace {

// "00,00" is read as one hour: a subject listed with no hours still gets a session.
constexpr std::string_view kSinHoras = "00,00";
constexpr std::string_view kUnaHora = "01,00";
// A text with "00" at its 4th and 5th characters (03,00, 12,00) is whole hours, one
// session per hour whatever the session lengths.
constexpr std::size_t kPosCerosHoras = 3;
// Above thirteen sessions the string carries the excess in digits before thirteen ones.
constexpr int kUnosMaximos = 13;

}  // namespace

std::optional<float> leerHoras(std::string_view texto) {
  std::string limpio;
  std::size_t i = 0;
  if (i < texto.size() && (texto[i] == '+' || texto[i] == '-')) {
    if (texto[i] == '-') limpio += '-';
    ++i;
  }
  bool digito = false, separador = false;
  for (; i < texto.size(); ++i) {
    char c = texto[i];
    if (c >= '0' && c <= '9') {
      digito = true;
      limpio += c;
    } else if ((c == ',' || c == '.') && !separador) {
      separador = true;
      limpio += '.';
    } else {
      return std::nullopt;
    }
  }
  if (!digito) return std::nullopt;
  // The text goes to a double first and then to float, the way a wider conversion result is
  // stored into a 32-bit variable; a value beyond the float range is no usable number.
  double valor = 0;
  auto [fin, error] = std::from_chars(limpio.data(), limpio.data() + limpio.size(), valor);
  if (error != std::errc() || fin != limpio.data() + limpio.size()) return std::nullopt;
  float horas = static_cast<float>(valor);
  if (!std::isfinite(horas)) return std::nullopt;
  return horas;
}

Carga calcularCarga(std::string_view horas, int duracion1, int duracion2, int duracion3) {
  std::string_view texto = horas == kSinHoras ? kUnaHora : horas;
  std::optional<float> leidas = leerHoras(texto);
  // +0.0f turns a negative zero ("-0,00") into zero, so HORAS never shows "-0".
  const float h = (leidas ? *leidas : 0.0f) + 0.0f;

  if (texto.size() > kPosCerosHoras + 1 && texto.substr(kPosCerosHoras, 2) == "00")
    return {h, std::nullopt, false};

  // Minutes rounded to float before any division. Every length is a whole number far below
  // 2^24, so a quotient of a float by it is whole in double exactly when it is whole in
  // float or in exact arithmetic; the division is done in double and only a whole quotient
  // is kept, which a float holds exactly.
  const float minutos = h * 60.0f;
  for (int l : {duracion1, duracion2, duracion3}) {
    if (l == 0) break;
    double cociente = static_cast<double>(minutos) / l;
    if (cociente == std::trunc(cociente)) return {static_cast<float>(cociente) + 0.0f, minutos, false};
  }
  return {static_cast<float>(std::ceil(static_cast<double>(minutos) / 60.0)) + 0.0f, minutos, true};
}

std::string cadenaSesiones(float carga) {
  const double n = std::ceil(static_cast<double>(carga));
  if (!(n > 0)) return {};
  if (n <= kUnosMaximos) return std::string(static_cast<std::size_t>(n), '1');
  char digitos[400];
  auto r = std::to_chars(digitos, digitos + sizeof digitos, n - kUnosMaximos,
                         std::chars_format::fixed, 0);
  return std::string(digitos, r.ptr) + std::string(kUnosMaximos, '1');
}

}  // namespace tov
