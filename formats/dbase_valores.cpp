#include "formats/dbase_valores.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tov::dbase {
namespace {

constexpr std::uint32_t kSesgoEntero = 0x80000000u;    // I and +: value XOR this, big-endian
constexpr std::uint64_t kSignoDoble = 0x8000000000000000ull;  // O: set for values >= 0
constexpr double kMsPorDia = 86400000.0;               // @: milliseconds per day
// @ counts days from 0001-01-01 as day 1; that day is 719162 days before 1970-01-01.
constexpr long long kDiaUnoAntesDe1970 = 719162;
constexpr double kUltimoDia = 3652059;  // 9999-12-31: later "dates" are written as numbers

bool todoCero(std::string_view b) {
  for (char c : b)
    if (c != '\0') return false;
  return true;
}

std::string_view recortar(std::string_view s) {
  auto blanco = [](char c) { return c == ' ' || c == '\0'; };
  while (!s.empty() && blanco(s.back())) s.remove_suffix(1);
  while (!s.empty() && blanco(s.front())) s.remove_prefix(1);
  return s;
}

std::uint64_t grandeEndian(std::string_view b) {
  std::uint64_t v = 0;
  for (char c : b) v = v << 8 | std::uint8_t(c);
  return v;
}

double comoDoble(std::uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

void numeroEnValor(Valor& v, std::string_view digitos) {
  if (auto e = textoAEntero(digitos)) {
    v.entero = *e;
    v.numero = double(*e);
    v.texto = std::to_string(*e);  // std::to_string of integers is locale-free
  } else if (auto d = textoAReal(digitos)) {
    v.numero = *d;
    if (std::nearbyint(*d) == *d && std::fabs(*d) < 9.2e18) v.entero = (long long)*d;
    v.texto = numeroCorto(*d);
  } else {
    v.texto = std::string(digitos);  // not a number ("***" of an overflow): kept as found
  }
}

// Proleptic Gregorian date of a day count from 1970-01-01 (H. Hinnant's civil_from_days).
void fechaCivil(long long z, int& a, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = unsigned(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = int(doy - (153 * mp + 2) / 5 + 1);
  m = int(mp < 10 ? mp + 3 : mp - 9);
  a = int(yoe + era * 400 + (m <= 2));
}

std::string dosCifras(int n, int ancho = 2) {
  std::string s = std::to_string(n);
  return std::string(s.size() < std::size_t(ancho) ? ancho - s.size() : 0, '0') + s;
}

std::string marcaTiempo(double ms) {
  const double dias = std::floor(ms / kMsPorDia);
  long long resto = (long long)std::llround(ms - dias * kMsPorDia) / 1000;  // seconds of the day
  int a, m, d;
  fechaCivil((long long)dias - 1 - kDiaUnoAntesDe1970, a, m, d);
  return dosCifras(a, 4) + "-" + dosCifras(m) + "-" + dosCifras(d) + " " + dosCifras(int(resto / 3600)) +
         ":" + dosCifras(int(resto / 60 % 60)) + ":" + dosCifras(int(resto % 60));
}

std::string alaDerecha(std::string_view s, int ancho) {
  return std::string(std::size_t(ancho) - s.size(), ' ') + std::string(s);
}

}  // namespace

std::string numeroCorto(double v) {
  if (v == 0) v = 0;  // no "-0"
  char buf[400];      // the largest double in fixed notation has 309 digits
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  return std::string(buf, r.ptr);
}

std::optional<long long> textoAEntero(std::string_view t) {
  t = recortar(t);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  long long v;
  auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size()) return std::nullopt;
  return v;
}

std::optional<double> textoAReal(std::string_view t) {
  t = recortar(t);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  double v;
  auto r = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
  if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v))
    return std::nullopt;
  return v;
}

std::optional<Valor> leerValor(const Campo& campo, std::string_view b) {
  Valor v;
  switch (campo.tipo) {
    case 'C': {
      std::string_view t = b;
      while (!t.empty() && (t.back() == ' ' || t.back() == '\0')) t.remove_suffix(1);
      v.texto = std::string(t);
      v.blanco = t.empty();
      return v;
    }
    case 'N':
    case 'F': {
      std::string_view t = recortar(b);
      v.blanco = t.empty();
      if (!v.blanco) numeroEnValor(v, t);
      return v;
    }
    case 'L':
      switch (b[0]) {
        case 'T': case 't': case 'Y': case 'y': v.texto = "T"; v.entero = 1; v.numero = 1; break;
        case 'F': case 'f': case 'N': case 'n': v.texto = "F"; v.entero = 0; v.numero = 0; break;
        default: v.blanco = true;  // ' ' or '?': not set
      }
      return v;
    case 'D': {
      std::string_view t = recortar(b);
      v.blanco = t.empty() || t.find_first_not_of('0') == std::string_view::npos;
      if (!v.blanco) numeroEnValor(v, t);  // YYYYMMDD, read as its digits
      return v;
    }
    case 'I':
    case '+': {
      v.blanco = todoCero(b);
      if (!v.blanco) {
        const auto x = std::int32_t(std::uint32_t(grandeEndian(b)) ^ kSesgoEntero);
        v.entero = x;
        v.numero = x;
        v.texto = std::to_string(x);
      }
      return v;
    }
    case 'O': {
      v.blanco = todoCero(b);
      if (!v.blanco) {
        std::uint64_t bits = grandeEndian(b);
        bits = (bits & kSignoDoble) ? bits & ~kSignoDoble : ~bits;
        numeroEnValor(v, numeroCorto(comoDoble(bits)));
      }
      return v;
    }
    case '@': {
      v.blanco = todoCero(b);
      if (!v.blanco) {
        const double ms = comoDoble(grandeEndian(b));
        if (!std::isfinite(ms)) {  // NaN or infinity: nothing a reader can use
          v.blanco = true;
          return v;
        }
        v.numero = ms / kMsPorDia;  // days, 0001-01-01 being day 1
        // A day count outside years 1 to 9999 is no date anyone wrote on purpose; its
        // number is still given, never a calendar read out of range.
        v.texto = (*v.numero >= 1 && *v.numero < kUltimoDia + 1) ? marcaTiempo(ms) : numeroCorto(*v.numero);
      }
      return v;
    }
    default:
      return std::nullopt;  // memo, binary, OLE...: references into a file we do not read
  }
}

std::string blanco(const Campo& campo) { return std::string(std::size_t(campo.ancho), ' '); }

std::string bytesTexto(const Campo& campo, std::string_view texto) {
  std::string b(texto.substr(0, std::size_t(campo.ancho)));
  b.resize(std::size_t(campo.ancho), ' ');
  return b;
}

std::optional<std::string> bytesEntero(const Campo& campo, long long v) {
  if (campo.decimales > 0) return bytesReal(campo, double(v));
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  std::string_view s(buf, std::size_t(r.ptr - buf));
  if (s.size() > std::size_t(campo.ancho)) return std::nullopt;
  return alaDerecha(s, campo.ancho);
}

std::optional<std::string> bytesReal(const Campo& campo, double v) {
  if (!std::isfinite(v)) return std::nullopt;
  if (v == 0) v = 0;  // no "-0.0000"
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, campo.decimales);
  if (r.ec != std::errc()) return std::nullopt;
  std::string_view s(buf, std::size_t(r.ptr - buf));
  if (s.size() > std::size_t(campo.ancho)) return std::nullopt;
  return alaDerecha(s, campo.ancho);
}

std::string bytesLogico(bool v) { return v ? "T" : "F"; }

}  // namespace tov::dbase
