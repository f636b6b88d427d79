// The seven builders of the conversion run, in the order the run calls them.
#pragma once
#include "centre_to_timetable/contexto.h"

namespace tov {

void GenerarMaterias(Contexto& ctx);        // ASIGNOMT, subjects
void GenerarTiposActividad(Contexto& ctx);  // ASIGNOMT, activity types appended
void GenerarProfesores(Contexto& ctx);      // PROFT
void GenerarAulas(Contexto& ctx);           // AULAT
void GenerarGrupos(Contexto& ctx);          // GRUPOST (removes CURSOST)
void GenerarSesiones(Contexto& ctx);        // DIASHORAST, COUNTSES; sets Duracion1..3
void GenerarMateriasGrupo(Contexto& ctx);   // ASIGT

}  // namespace tov
