// Paths between std::filesystem and Qt without losing bytes: the native encoding each way.
#pragma once
#include <QFile>
#include <QString>
#include <filesystem>

namespace tov {

inline QString rutaQt(const std::filesystem::path& p) {
#ifdef _WIN32
  return QString::fromStdWString(p.native());
#else
  return QFile::decodeName(QByteArray::fromStdString(p.native()));
#endif
}

inline std::filesystem::path rutaDe(const QString& s) {
#ifdef _WIN32
  return std::filesystem::path(s.toStdWString());
#else
  return std::filesystem::path(QFile::encodeName(s).toStdString());
#endif
}

}  // namespace tov
