// The four-character codes already stored in one table's ABREV, so that no two rows of
// PROFT, AULAT or GRUPOST share one (letter case ignored, as CodigosUsados compares).
#pragma once
#include <string>
#include <string_view>

#include "centre_to_timetable/codigos_cortos.h"

namespace tov {

class CodigosAlmacenados {
 public:
  // The code to store for a row whose builder's rule gave `abrev` (at most four
  // characters): `abrev` itself when no earlier row stored it; otherwise the first free
  // code over the stored ones whose prefix is the first three characters of `propio`
  // (the element's own code), or the first two, or the first one, whichever first gives
  // at most four characters. The result is recorded as stored. Throws ErrorDatos naming
  // `quien` (UTF-8) when every prefix is used up.
  std::string guardar(std::string_view abrev, std::string_view propio, std::string_view quien);

  bool contiene(std::string_view codigo) const { return guardados_.contiene(codigo); }

 private:
  CodigosUsados guardados_;
};

}  // namespace tov
