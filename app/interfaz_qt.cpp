#include "app/interfaz_qt.h"

#include <QApplication>
#include <QFileDialog>
#include <QPushButton>
#include <QTimer>
#include <iostream>

#include "app/MainForm.h"
#include "app/respuestas_prueba.h"
#include "app/rutas_qt.h"

namespace tov {
namespace {

// Texts of the runs break lines the Windows way; Qt's labels want '\n' alone.
QString textoQt(const std::string& texto) {
  return QString::fromStdString(texto).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

std::optional<std::filesystem::path> InterfazQt::elegirArchivo(
    const std::filesystem::path& recordado) {
  if (auto respuesta = prueba::respuestaDialogo()) {
    if (respuesta->empty()) return std::nullopt;
    return std::filesystem::path(*respuesta);
  }
  QFileDialog dialogo(nullptr, QStringLiteral("Archivo XML"));
  dialogo.setObjectName(QStringLiteral("OpenDialogXML"));
  // One entry whose description and pattern are both "*.xml".
  dialogo.setNameFilter(QStringLiteral("*.xml (*.xml)"));
  dialogo.setDefaultSuffix(QStringLiteral("xml"));
  // As the design's dialog: a typed name need not exist; the run tells "No existe archivo".
  dialogo.setFileMode(QFileDialog::AnyFile);
  dialogo.setAcceptMode(QFileDialog::AcceptOpen);
  if (!recordado.empty()) dialogo.selectFile(rutaQt(recordado));
  ventana_.prepararEmergente(dialogo);
  if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
    return std::nullopt;
  return rutaDe(dialogo.selectedFiles().first());
}

void InterfazQt::caja(QMessageBox::Icon icono, const std::string& texto,
                      const std::string& detalle) {
  QMessageBox caja(icono, QString::fromUtf8(kTituloAplicacion), textoQt(texto));
  QPushButton* aceptar = caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
  caja.setDefaultButton(aceptar);
  caja.setEscapeButton(aceptar);
  if (!detalle.empty()) caja.setDetailedText(textoQt(detalle));
  ventana_.prepararEmergente(caja);
  if (prueba::aceptarMensajes()) {
    std::cerr << kTituloAplicacion << ": " << texto << std::endl;
    QTimer::singleShot(0, aceptar, &QPushButton::click);
  }
  caja.exec();
}

void InterfazQt::mostrarMensaje(const std::string& texto, const std::string& detalle) {
  caja(QMessageBox::NoIcon, texto, detalle);
}

void InterfazQt::mostrarError(const std::string& texto) { caja(QMessageBox::Critical, texto, {}); }

void InterfazQt::cursorOcupado() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void InterfazQt::cursorNormal() { QApplication::restoreOverrideCursor(); }

void InterfazQt::cerrarVentana() { ventana_.close(); }

}  // namespace tov
