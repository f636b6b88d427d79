#include "timetable_to_centre/exportacion_solucion.h"

#include <system_error>
#include <vector>

#include "app/sistema_archivos.h"
#include "centre_to_timetable/bloqueo_carpeta.h"
#include "formats/documento_xml.h"
#include "formats/tabla_dbase.h"
#include "formats/windows1252.h"
#include "timetable_to_centre/comprobacion_asigt.h"
#include "timetable_to_centre/documento_horario.h"

namespace fs = std::filesystem;

namespace tov {
namespace {

constexpr const char* kPrefijoResultado = "ResultadoOrvant";
constexpr const char* kSolucion = "SOLUC.DBF";

// The seven tables of the run, opened exclusively in this order (members are initialised
// in declaration order); the ones already open close again if a later one fails.
struct TablasSolucion {
  explicit TablasSolucion(const fs::path& c)
      : SOLUC(abrir(c, "SOLUC")),
        GRUPOST(abrir(c, "GRUPOST")),
        PROFT(abrir(c, "PROFT")),
        AULAT(abrir(c, "AULAT")),
        ASIGNOMT(abrir(c, "ASIGNOMT")),
        DIASHORAST(abrir(c, "DIASHORAST")),
        ASIGT(abrir(c, "ASIGT")) {}

  static DbfTable abrir(const fs::path& carpeta, const char* nombre) {
    return DbfTable::open(carpeta, nombre, Access::Exclusive);
  }

  void cerrar() {
    for (DbfTable* t : {&SOLUC, &GRUPOST, &PROFT, &AULAT, &ASIGNOMT, &DIASHORAST, &ASIGT})
      t->close();
  }

  DbfTable SOLUC;
  DbfTable GRUPOST;
  DbfTable PROFT;
  DbfTable AULAT;
  DbfTable ASIGNOMT;
  DbfTable DIASHORAST;
  DbfTable ASIGT;
};

enum class Pasada { Clases, Tareas };

std::string letraDia(long long dia) {
  switch (dia) {
    case 1: return "L";
    case 2: return "M";
    case 3: return "X";
    case 4: return "J";
    case 5: return "V";
    case 6: return "S";
    case 7: return "D";
    default: return {};
  }
}

std::string citado(const std::string& valor1252) { return "'" + windows1252ToUtf8(valor1252) + "'"; }

class Exportacion {
 public:
  Exportacion(TablasSolucion& t, DocumentoHorario& doc, Informe& informe)
      : t_(t), doc_(doc), informe_(informe) {}

  long recorrer(Pasada pasada) {
    long leidas = 0, escritas = 0;
    DbfTable& s = t_.SOLUC;
    for (s.first(); !s.eof(); s.next()) {
      ++leidas;
      const std::string asig = s.text("ASIG");
      const std::string tarea = s.text("TAREA");
      // Exact comparison: "Mat" and "MAT" make a lesson, not a task.
      if ((asig == tarea) != (pasada == Pasada::Tareas)) continue;
      if (tratar(pasada, asig, tarea)) ++escritas;
    }
    leidas_ = leidas;
    return escritas;
  }

  long leidas() const { return leidas_; }
  ComprobacionAsigt& comprobacion() { return comprobacion_; }

 private:
  // One candidate row; false when a rule drops it.
  bool tratar(Pasada pasada, const std::string& asig, const std::string& tarea) {
    DbfTable& s = t_.SOLUC;
    fila_ = static_cast<int>(s.recordNumber());
    clase_ = pasada == Pasada::Clases;
    const long long dia = s.integer("DIA");
    const double hora = s.real("HORA");
    if (dia == 0) return descartar("su DIA es 0");
    if (hora == 0) return descartar("su HORA es 0");

    Actividad a;  // every value starts empty for each row
    a.tipo = tarea;
    a.dia = letraDia(dia);

    if (clase_) {
      const std::string grupo = s.text("CODGRUPO");
      if (!t_.GRUPOST.locate("ABREV", grupo))
        return descartar("el grupo " + citado(grupo) + " no está en GRUPOST");
      a.codigoGrupo = t_.GRUPOST.text("ABREV");
    }
    if (!t_.ASIGNOMT.locate("COD", asig))
      return descartar((clase_ ? "la materia " : "la actividad ") + citado(asig) +
                       " no está en ASIGNOMT");
    if (clase_) a.codigoMateria = t_.ASIGNOMT.text("ABREV_GESTION");

    // Notices for empty codes wait until the row is known to be written.
    std::vector<Aviso> vacios;
    const std::string prof = s.text("PROF");
    if (t_.PROFT.locate("ABREV", prof))
      a.codigoProfesor = t_.PROFT.text("ABREV");
    else
      vacios.push_back({"profesor_vacio", codigoVacio("codigoProfesor", "el profesor", prof, "PROFT"),
                        fila_});
    const std::string aula = s.text("AULA");
    if (t_.AULAT.locate("ABREV", aula))
      a.codigoAula = t_.AULAT.text("ABREV_GESTION");
    else
      vacios.push_back({"aula_vacia", codigoVacio("codigoAula", "el aula", aula, "AULAT"), fila_});

    const std::string diaTexto = s.text("DIA");
    const std::string horaTexto = s.text("HORA");
    const std::string clave =
        std::string(trimControl(std::string_view(diaTexto))) +
        std::string(trimControl(std::string_view(horaTexto)));
    if (!t_.DIASHORAST.locate("DIHO", clave))
      return descartar("la sesión " + citado(clave) + " (DIA " + citado(diaTexto) + ", HORA " +
                       citado(horaTexto) + ") no está en DIASHORAST");
    a.HoraInicio = t_.DIASHORAST.text("HORADESDE");
    a.HoraFin = t_.DIASHORAST.text("HORAHASTA");

    if (!clase_) a.codigoGrupo = s.text("CODGRUPO");  // tasks keep the host's group code
    doc_.agregarActividad(a);
    for (Aviso& v : vacios) informe_.avisar(std::move(v.tipo), std::move(v.mensaje), v.linea);
    if (clase_) comprobacion_.colocar(t_.GRUPOST, t_.ASIGNOMT.text("ABREV_GESTION"), fila_);
    return true;
  }

  bool descartar(const std::string& motivo) {
    informe_.avisar("fila_descartada",
                    "Fila " + std::to_string(fila_) + " de SOLUC no escrita (" +
                        (clase_ ? "clase" : "tarea") + "): " + motivo,
                    fila_);
    return false;
  }

  std::string codigoVacio(const char* atributo, const char* que, const std::string& codigo,
                          const char* tabla) const {
    const std::string porque = codigo.empty() ? std::string("la fila no tiene código")
                                              : std::string(que) + " " + citado(codigo) +
                                                    " no está en " + tabla;
    return "Fila " + std::to_string(fila_) + " de SOLUC (" + (clase_ ? "clase" : "tarea") +
           "): " + atributo + " vacío porque " + porque;
  }

  TablasSolucion& t_;
  DocumentoHorario& doc_;
  Informe& informe_;
  ComprobacionAsigt comprobacion_;
  long leidas_ = 0;
  int fila_ = 0;
  bool clase_ = true;
};

}  // namespace

fs::path rutaResultado(const fs::path& xml) {
  fs::path nombre(kPrefijoResultado);
  nombre += xml.filename();
  return xml.parent_path() / nombre;
}

bool existeEntradaSolucion(const fs::path& xml, const fs::path& carpeta) {
  std::error_code ec;
  if (xml.empty() || !fs::is_regular_file(xml, ec)) return false;
  if (fs::is_regular_file(carpeta / kSolucion, ec)) return true;
  // A host on a case-sensitive file system may have written soluc.dbf.
  for (const auto& e : fs::directory_iterator(carpeta, ec)) {
    std::string nombre = e.path().filename().string();
    for (char& c : nombre)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (nombre == kSolucion && e.is_regular_file(ec)) return true;
  }
  return false;
}

Informe exportarSolucion(const fs::path& xml, const fs::path& carpeta, SistemaArchivos& archivos,
                         const fs::path& salida) {
  // No conversion may replace the tables while they are read.
  BloqueoCarpeta bloqueo(carpeta);
  TablasSolucion tablas(carpeta);
  // The new document keeps only the root's attributes and what lies outside the root.
  DocumentoHorario documento(XmlDocument::load(xml, XmlDocument::Keep::RootAndOutside),
                             fechaExportacionAhora());

  Informe informe;
  documento.reservar(tablas.SOLUC.recordCount());
  Exportacion exportacion(tablas, documento, informe);
  const long clases = exportacion.recorrer(Pasada::Clases);
  const long tareas = exportacion.recorrer(Pasada::Tareas);
  exportacion.comprobacion().comprobar(tablas.ASIGT, informe);
  tablas.cerrar();

  documento.guardar(salida, archivos);
  informe.filas("SOLUC leída", exportacion.leidas());
  informe.filas("actividad (clases)", clases);
  informe.filas("actividad (tareas)", tareas);
  return informe;
}

}  // namespace tov
