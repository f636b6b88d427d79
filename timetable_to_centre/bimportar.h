// The click on BImportar: from the solved timetable SOLUC back to an XML document.
#pragma once
#include "app/estado_programa.h"
#include "app/interfaz.h"

namespace tov {

void BImportarClick(EstadoPrograma& estado, Interfaz& ui);

}  // namespace tov
