#include "centre_to_timetable/conversion.h"
#include "centre_to_timetable/generadores.h"

namespace tov {

const std::vector<Generador>& generadoresDeLaConversion() {
  // The session grid runs before the subject load, which needs its session lengths;
  // the groups check tutors against the teachers written before them.
  static const std::vector<Generador> siete = {
      {"GenerarMaterias", GenerarMaterias},
      {"GenerarTiposActividad", GenerarTiposActividad},
      {"GenerarProfesores", GenerarProfesores},
      {"GenerarAulas", GenerarAulas},
      {"GenerarGrupos", GenerarGrupos},
      {"GenerarSesiones", GenerarSesiones},
      {"GenerarMateriasGrupo", GenerarMateriasGrupo},
  };
  return siete;
}

}  // namespace tov
