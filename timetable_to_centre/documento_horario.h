// The timetable document for the school system: the loaded centre document with its root
// replaced by a new Centro that holds the solved timetable, saved atomically. The actividad
// elements, a large school's hundreds of thousands, are not built as nodes: they are kept as
// their serialised lines and put into libxml2's output of the rest, byte for byte as its
// serialiser would write them.
#pragma once
#include <ctime>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "formats/documento_xml.h"

struct _xmlNode;

namespace tov {

class SistemaArchivos;

// The school's identification, as read from the loaded root (trimmed, Windows-1252).
struct CabeceraCentro {
  std::string Codigo;
  std::string Nombre;
  std::string CursoEscolar;
  std::string Version;
};

// The eight values of one actividad element, Windows-1252; empty ones are written empty.
struct Actividad {
  std::string tipo;
  std::string codigoProfesor;
  std::string codigoGrupo;
  std::string codigoMateria;
  std::string codigoAula;
  std::string dia;
  std::string HoraInicio;
  std::string HoraFin;
};

// "date time" in the user's regional formats: on POSIX the LC_TIME formats of the
// environment (D_FMT and T_FMT), on Windows the short date and long time. UTF-8.
std::string fechaExportacion(std::time_t fecha, std::time_t hora);
// The same for now: the date is taken from the clock first, the time after it.
std::string fechaExportacionAhora();

class DocumentoHorario {
 public:
  // Reads the header from the loaded root and puts the new Centro (five attributes and an
  // empty horario) in its place; every node outside the root stays where it was. Throws
  // ErrorXml naming the file when the root lacks Codigo, Nombre, CursoEscolar or Version.
  DocumentoHorario(XmlDocument cargado, std::string_view fechaExportacionUtf8);

  const CabeceraCentro& cabecera() const { return cabecera_; }

  // Room for about this many actividad elements, so that a large timetable grows in place.
  void reservar(std::size_t actividades) { reserva_ = actividades; }

  // Appends one actividad to horario.
  void agregarActividad(const Actividad& actividad);
  std::size_t actividades() const { return actividades_; }

  // The whole file: in the encoding that the kept XML declaration names, or UTF-8 with a
  // declaration when the loaded document had none.
  std::string serializar() const;

  // Writes a temporary file beside `destino` and renames it over `destino`: a failure
  // leaves an existing file as it was and no temporary file behind.
  void guardar(const std::filesystem::path& destino, SistemaArchivos& archivos) const;

 private:
  XmlDocument doc_;
  CabeceraCentro cabecera_;
  _xmlNode* horario_ = nullptr;
  _xmlNode* cierre_ = nullptr;  // the line break before </horario>, once there is an actividad
  const char* codificacion() const;  // of the output
  std::string errorCodificacion() const;
  std::string volcado() const;  // libxml2's serialisation of the nodes, in the output encoding
  std::string cola() const;     // the closing tags that end the file, in the output encoding
  std::string sinCola(std::string volcado, const std::string& cola) const;

  // From the first actividad on, in UTF-8 output, the whole file: libxml2's serialisation with
  // the actividad lines put before the closing tags that end it. In another encoding, only
  // the lines, in UTF-8, encoded when the file is written.
  std::string texto_;
  bool completo_ = false;
  std::string colaUtf8_;  // cola() while completo_
  std::size_t actividades_ = 0;
  std::size_t reserva_ = 0;
};

}  // namespace tov
