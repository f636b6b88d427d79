// The help file beside the executable, opened with the desktop's viewer for its type.
#pragma once
#include <filesystem>
#include <optional>

namespace tov {

inline constexpr char kArchivoAyuda[] = "ZETRA.chm";

// The help file in `carpeta` when it exists and its extension is .chm in any letter case.
std::optional<std::filesystem::path> archivoAyuda(const std::filesystem::path& carpeta);

// Opens it; does nothing when there is none. Returns whether it asked the desktop to open it.
bool abrirAyuda(const std::filesystem::path& carpeta);

}  // namespace tov
