// Where the host's work tables live.
#pragma once
#include <filesystem>

namespace tov {

// C:\XCAMBIO on Windows; elsewhere XCAMBIO in the C: drive of the Wine prefix
// (${WINEPREFIX:-$HOME/.wine}/drive_c/XCAMBIO), where a host run under Wine sees C:\XCAMBIO.
std::filesystem::path carpetaTrabajoPorDefecto();

}  // namespace tov
