// The seam of the runs, implemented with the real widgets of the main window.
#pragma once
#include <QMessageBox>
#include <string>

#include "app/interfaz.h"

namespace tov {

class TMForm;

inline constexpr char kTituloAplicacion[] = "TransOrvantVeluna";

class InterfazQt final : public Interfaz {
 public:
  explicit InterfazQt(TMForm& ventana) : ventana_(ventana) {}

  std::optional<std::filesystem::path> elegirArchivo(
      const std::filesystem::path& recordado) override;
  void mostrarMensaje(const std::string& texto, const std::string& detalle = {}) override;
  void mostrarError(const std::string& texto) override;
  void cursorOcupado() override;
  void cursorNormal() override;
  void cerrarVentana() override;

 private:
  void caja(QMessageBox::Icon icono, const std::string& texto, const std::string& detalle);

  TMForm& ventana_;
};

}  // namespace tov
