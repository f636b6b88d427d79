// The solution export: the timetable that the host solved into SOLUC, mapped back to the
// school system's codes through the tables of the first direction, as a timetable document.
#pragma once
#include <filesystem>

#include "app/informe.h"

namespace tov {

class SistemaArchivos;

// "ResultadoOrvant" followed by the document's file name, in the document's folder.
std::filesystem::path rutaResultado(const std::filesystem::path& xml);

// True when the document exists and the work folder holds SOLUC.DBF (any letter case, as
// the table engine finds it).
bool existeEntradaSolucion(const std::filesystem::path& xml,
                           const std::filesystem::path& carpeta);

// Opens the seven tables exclusively, builds the timetable document on `xml`, walks SOLUC
// twice (lessons, then tasks), closes the tables and saves the document to `salida`
// atomically. Any error is thrown with every table closed and `salida` untouched. The
// report counts the rows read and the activities written, names every dropped row and
// every empty teacher or room, and compares the placed lessons with ASIGT.
Informe exportarSolucion(const std::filesystem::path& xml, const std::filesystem::path& carpeta,
                         SistemaArchivos& archivos, const std::filesystem::path& salida);

}  // namespace tov
