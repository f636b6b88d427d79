// The main window MForm: the two directions side by side above a strip with help, close and
// the version; in host mode a borderless child of the host's window showing one half.
#pragma once
#include <QWidget>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/estado_programa.h"
#include "app/linea_comandos.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace tov {

class InterfazQt;
class PanelDegradado;
class VigilanteDestruccion;

class TMForm : public QWidget {
  Q_OBJECT

 public:
  // `parametros` without the program's name; `carpetaPrograma` holds Orvantis.ini and the help.
  TMForm(const std::vector<std::string>& parametros, std::filesystem::path carpetaPrograma,
         QWidget* padre = nullptr);
  ~TMForm() override;

  EstadoPrograma& estado() { return estado_; }
  // The host's window when embedded in one, else null.
  QWindow* ventanaAnfitrion() const { return anfitrion_; }

  // The one place where an error that reaches the shell becomes the error report.
  void informarError(const std::exception& e);
  // Dialogs and message boxes: owned by the window, or in host mode top-level boxes that
  // stay above the host (a child window cannot own them).
  void prepararEmergente(QWidget& emergente);

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void crearComponentes();
  void FormCreate(const std::vector<std::string>& parametros);
  void incrustar(const ModoInicio& modo);
  void FormClose();
  void Button1Click();
  void BExportarClick();
  void BImportarClick();
  void alDestruirseAnfitrion();
  void pulsarParaPruebas(QStringList botones);
  // Runs `f`, reporting what it throws; false when it threw.
  template <class F>
  bool protegido(F&& f) {
    try {
      f();
      return true;
    } catch (const std::exception& e) {
      informarError(e);
      return false;
    }
  }

  EstadoPrograma estado_;
  std::filesystem::path carpetaPrograma_;
  std::unique_ptr<InterfazQt> ui_;
  QWindow* anfitrion_ = nullptr;
  std::unique_ptr<VigilanteDestruccion> vigilante_;
  bool mostrada_ = false;

  PanelDegradado* Draw3D1 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* BClose = nullptr;
  QPushButton* Button1 = nullptr;
  QListWidget* ListBoxPlanti = nullptr;
  PanelDegradado* Draw3D2 = nullptr;
  QLabel* Label3 = nullptr;
  QPushButton* BExportar = nullptr;
  PanelDegradado* Draw3D3 = nullptr;
  QLabel* Label4 = nullptr;
  QPushButton* BImportar = nullptr;
};

}  // namespace tov
