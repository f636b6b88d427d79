// The bytes of one field value: what the writer puts into a record and what the reader
// takes out of one, for every dBase type. Independent of the process locale.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "formats/dbase_cabecera.h"

namespace tov::dbase {

// A field value as read. `texto` is the text form (trailing blanks and NULs of text removed,
// numbers in their shortest decimal form); `numero`/`entero` are set when the value is one.
struct Valor {
  bool blanco = false;
  std::string texto;
  std::optional<double> numero;
  std::optional<long long> entero;  // exact, when the stored value is a whole number
};

// Decodes the field's bytes. Returns nullopt for types that are passed over (M, B, G...).
std::optional<Valor> leerValor(const Campo& campo, std::string_view bytes);

// Shortest decimal form that reads back as the same double, never in exponent notation
// ("3", "2.5", "-0.125").
std::string numeroCorto(double v);

// Whole text (blanks around allowed) as a number; nullopt when it is not one.
std::optional<long long> textoAEntero(std::string_view texto);
std::optional<double> textoAReal(std::string_view texto);

// Bytes of a value for a field the writer supports (C, N, F, L). nullopt when the value
// does not fit the field (a number wider than the field, NaN...).
std::string blanco(const Campo& campo);  // all spaces: never-written fields, new rows
std::string bytesTexto(const Campo& campo, std::string_view texto);  // C: cut, padded
std::optional<std::string> bytesEntero(const Campo& campo, long long v);
std::optional<std::string> bytesReal(const Campo& campo, double v);
std::string bytesLogico(bool v);

}  // namespace tov::dbase
