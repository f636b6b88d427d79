// The click on BExportar: from the school's XML document to the work tables.
#pragma once
#include "app/estado_programa.h"
#include "app/interfaz.h"

namespace tov {

void BExportarClick(EstadoPrograma& estado, Interfaz& ui);

}  // namespace tov
