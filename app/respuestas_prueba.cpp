#include "app/respuestas_prueba.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace tov::prueba {

std::optional<std::string> respuestaDialogo() {
  if (!qEnvironmentVariableIsSet("TOV_PRUEBA_DIALOGO")) return std::nullopt;
  const QByteArray valor = qgetenv("TOV_PRUEBA_DIALOGO");
  if (valor == "cancelar") return std::string();
  return valor.toStdString();
}

bool aceptarMensajes() { return qgetenv("TOV_PRUEBA_MENSAJES") == "aceptar"; }

QStringList botonesAPulsar() {
  return QString::fromLocal8Bit(qgetenv("TOV_PRUEBA_PULSAR")).split(',', Qt::SkipEmptyParts);
}

}  // namespace tov::prueba
