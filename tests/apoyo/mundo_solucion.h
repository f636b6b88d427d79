// A small school for the way back: the tables of the first direction in a temporary work
// folder, a SOLUC to go with them, and the centre document beside which the result goes.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "apoyo/carpeta_temporal.h"
#include "formats/tabla_dbase.h"
#include "formats/tabla_disenos.h"

namespace tov::prueba {

// One row of SOLUC, every value as the text to store.
struct FilaSoluc {
  std::string ASIG, TAREA, DIA, HORA, CODGRUPO, PROF, AULA;
};

// DIA and HORA as text fields (as some hosts write them) or as numbers.
enum class TiposSoluc { Texto, Numero };

// A SOLUC as a host writes it, with the fields the export reads.
inline void escribirSoluc(const std::filesystem::path& trabajo, const std::vector<FilaSoluc>& filas,
                          TiposSoluc tipos = TiposSoluc::Texto) {
  const bool numeros = tipos == TiposSoluc::Numero;
  DbfTable::create(trabajo, "SOLUC",
                   {{"ASIG", FieldType::Text, 4},
                    {"TAREA", FieldType::Text, 4},
                    numeros ? FieldDef{"DIA", FieldType::Integer} : FieldDef{"DIA", FieldType::Text, 2},
                    numeros ? FieldDef{"HORA", FieldType::Float} : FieldDef{"HORA", FieldType::Text, 3},
                    {"CODGRUPO", FieldType::Text, 6},
                    {"PROF", FieldType::Text, 4},
                    {"AULA", FieldType::Text, 4}});
  DbfTable t = DbfTable::open(trabajo, "SOLUC", Access::Shared);
  for (const auto& f : filas) {
    t.append();
    t.setText("ASIG", f.ASIG);
    t.setText("TAREA", f.TAREA);
    if (numeros) {
      t.setInteger("DIA", std::stoll(f.DIA));
      t.setFloat("HORA", std::stod(f.HORA));
    } else {
      t.setText("DIA", f.DIA);
      t.setText("HORA", f.HORA);
    }
    t.setText("CODGRUPO", f.CODGRUPO);
    t.setText("PROF", f.PROF);
    t.setText("AULA", f.AULA);
    t.post();
  }
  t.close();
}

inline const char* kCentroPorDefecto =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Centro Codigo=\"28001\" Nombre=\"IES Sierra\" CursoEscolar=\"2025/2026\" Version=\"3\">"
    "<Materias/></Centro>\n";

class MundoSolucion {
 public:
  CarpetaTemporal tmp;
  std::filesystem::path trabajo = tmp / "XCAMBIO";
  std::filesystem::path datos = tmp / "datos";
  std::filesystem::path xml = datos / "centro.xml";
  std::filesystem::path resultado = datos / "ResultadoOrvantcentro.xml";

  explicit MundoSolucion(const std::string& documento = kCentroPorDefecto) {
    std::filesystem::create_directories(trabajo);
    std::filesystem::create_directories(datos);
    escribirArchivo(xml, documento);
    tablasDeLaConversion();
  }

  // Groups 1A (M ESO 1 A) and 2B; subjects MAT and LEN, activity type GUAR; teachers P1,
  // P2; room A1; sessions 11, 12 and 25, and the first session of days 3 to 8; ASIGT asks
  // 1A for 2 sessions of MATE and 2 (1.5 rounded up) of LENG, and 2B for 1 of MATE.
  void tablasDeLaConversion() {
    tabla("GRUPOST", disenos::GRUPOST, {{{"ABREV", "1A"}, {"TURNO", "M"}, {"NIVEL", "ESO"},
                                         {"CURSO", "1"}, {"GRUPO", "A"}},
                                        {{"ABREV", "2B"}, {"TURNO", "M"}, {"NIVEL", "ESO"},
                                         {"CURSO", "2"}, {"GRUPO", "B"}}});
    tabla("PROFT", disenos::PROFT, {{{"ABREV", "P1"}}, {{"ABREV", "P2"}}});
    tabla("AULAT", disenos::AULAT, {{{"ABREV", "A1"}, {"ABREV_GESTION", "AULA-101"}}});
    tabla("ASIGNOMT", disenos::ASIGNOMT,
          {{{"COD", "MAT"}, {"ABREV_GESTION", "MATEMATICA"}},
           {{"COD", "LEN"}, {"ABREV_GESTION", "LENGUA"}},
           {{"COD", "GUAR"}, {"ABREV_GESTION", "GUARDIA"}}});
    std::vector<std::vector<std::pair<std::string, std::string>>> sesiones = {
        {{"DIHO", "11"}, {"HORADESDE", "08:00"}, {"HORAHASTA", "08:55"}},
        {{"DIHO", "12"}, {"HORADESDE", "08:55"}, {"HORAHASTA", "09:50"}},
        {{"DIHO", "25"}, {"HORADESDE", "11:00"}, {"HORAHASTA", "11:55"}}};
    for (int d = 3; d <= 8; ++d)
      sesiones.push_back({{"DIHO", std::to_string(d) + "1"}, {"HORADESDE", "08:00"},
                          {"HORAHASTA", "08:55"}});
    tabla("DIASHORAST", disenos::DIASHORAST, sesiones);
    asigt({{"MATE", "M", "ESO", "1", "A", 2.0}, {"LENG", "M", "ESO", "1", "A", 1.5},
           {"MATE", "M", "ESO", "2", "B", 1.0}});
  }

  struct FilaAsigt {
    std::string CASIG, TURNO, NIVEL, CURSO, GRUPO;
    double HORAS;
  };
  void asigt(const std::vector<FilaAsigt>& filas) {
    DbfTable::create(trabajo, "ASIGT", disenos::ASIGT);
    DbfTable t = DbfTable::open(trabajo, "ASIGT", Access::Shared);
    for (const auto& f : filas) {
      t.append();
      t.setText("CASIG", f.CASIG);
      t.setText("TURNO", f.TURNO);
      t.setText("NIVEL", f.NIVEL);
      t.setText("CURSO", f.CURSO);
      t.setText("GRUPO", f.GRUPO);
      t.setFloat("HORAS", f.HORAS);
      t.post();
    }
    t.close();
  }

  void soluc(const std::vector<FilaSoluc>& filas, TiposSoluc tipos = TiposSoluc::Texto) {
    escribirSoluc(trabajo, filas, tipos);
  }

  static const std::vector<std::string>& tablas() {
    static const std::vector<std::string> t = {"SOLUC", "GRUPOST", "PROFT", "AULAT",
                                               "ASIGNOMT", "DIASHORAST", "ASIGT"};
    return t;
  }

  // True when no table of the run is held open any more.
  bool tablasCerradas() const {
    for (const auto& t : tablas()) {
      const auto dbf = trabajo / (t + ".DBF");
      if (std::filesystem::exists(dbf) && DbfTable::isHeldByOther(dbf)) return false;
    }
    return true;
  }

 private:
  void tabla(const std::string& nombre, const std::vector<FieldDef>& campos,
             const std::vector<std::vector<std::pair<std::string, std::string>>>& filas) {
    DbfTable::create(trabajo, nombre, campos);
    DbfTable t = DbfTable::open(trabajo, nombre, Access::Shared);
    for (const auto& fila : filas) {
      t.append();
      for (const auto& [campo, valor] : fila) t.setText(campo, valor);
      t.post();
    }
    t.close();
  }
};

// The text of one actividad element as the output writes it.
inline std::string actividad(const std::string& tipo, const std::string& prof,
                             const std::string& grupo, const std::string& materia,
                             const std::string& aula, const std::string& dia,
                             const std::string& inicio, const std::string& fin) {
  return "<actividad tipo=\"" + tipo + "\" codigoProfesor=\"" + prof + "\" codigoGrupo=\"" +
         grupo + "\" codigoMateria=\"" + materia + "\" codigoAula=\"" + aula + "\" dia=\"" + dia +
         "\" HoraInicio=\"" + inicio + "\" HoraFin=\"" + fin + "\"/>";
}

// The actividad lines of a written document, in order, without their indentation.
inline std::vector<std::string> actividadesDe(const std::string& documento) {
  std::vector<std::string> lineas;
  std::size_t pos = 0;
  while ((pos = documento.find("<actividad ", pos)) != std::string::npos) {
    const std::size_t fin = documento.find("/>", pos);
    lineas.push_back(documento.substr(pos, fin + 2 - pos));
    pos = fin;
  }
  return lineas;
}

}  // namespace tov::prueba
