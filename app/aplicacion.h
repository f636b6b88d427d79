// Start of the process: what the application object needs before the main window exists.
#pragma once
#include <QApplication>
#include <filesystem>

namespace tov {

// Regional settings, the title, the design's fonts (with their Liberation twins where the
// Windows fonts are missing) and Qt's own dialogs in Spanish.
void prepararAplicacion(QApplication& app);

// The folder of the running executable: the status file and the help live there.
std::filesystem::path carpetaEjecutable();

}  // namespace tov
