// What the runs need from the user's side. The window implements it with real widgets;
// tests and the command line implement it with scripted answers. The core never sees Qt.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

namespace tov {

class Interfaz {
 public:
  virtual ~Interfaz() = default;
  // The "Archivo XML" dialog; `recordado` is the path confirmed last (may be empty).
  // Returns the confirmed path, or nothing when the user cancels.
  virtual std::optional<std::filesystem::path> elegirArchivo(
      const std::filesystem::path& recordado) = 0;
  // A plain modal box with one "Aceptar" button; `detalle` is optional extra text
  // (the run report) that the user may unfold.
  virtual void mostrarMensaje(const std::string& texto, const std::string& detalle = {}) = 0;
  // The error report: the same box with an error icon.
  virtual void mostrarError(const std::string& texto) = 0;
  virtual void cursorOcupado() = 0;
  virtual void cursorNormal() = 0;
  // Closes the main window (which, in host mode, writes the status and ends the process).
  virtual void cerrarVentana() = 0;
};

// The busy pointer for the length of a run, given back on every path.
class CursorOcupado {
 public:
  explicit CursorOcupado(Interfaz& ui) : ui_(ui) { ui_.cursorOcupado(); }
  ~CursorOcupado() { ui_.cursorNormal(); }
  CursorOcupado(const CursorOcupado&) = delete;
  CursorOcupado& operator=(const CursorOcupado&) = delete;

 private:
  Interfaz& ui_;
};

}  // namespace tov
