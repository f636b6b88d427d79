// The group subject load: one ASIGT row for each subject a group is taught, with its weekly
// hours turned into sessions of the lengths the session grid found.
#include <charconv>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/errores.h"
#include "centre_to_timetable/carga_horaria.h"
#include "centre_to_timetable/generadores.h"
#include "formats/tabla_dbase.h"
#include "formats/tabla_disenos.h"
#include "formats/windows1252.h"

namespace tov {
namespace {

const char* const kTabla = "ASIGT";
// CASIG and CGRUP are four characters wide; longer school codes are cut.
constexpr std::size_t kAnchoCodigo = 4;

struct MateriaGrupo {
  XmlNode nodo;
  std::string codigo;    // Windows-1252, as written to CASIG
  std::u16string grupo;  // trimmed Codigo of the Grupo that holds it
  Carga carga;
};

// Every MateriaGrupo of the document in document order, each with its load worked out, so
// that a bad Horas stops the run even where the element would never be written.
std::vector<MateriaGrupo> leerMaterias(Contexto& ctx) {
  std::vector<MateriaGrupo> materias;
  const std::vector<XmlNode> nodos =
      ctx.DocXML.selectNodes("/Centro/Grupos/Grupo/MateriasGrupo/MateriaGrupo");
  materias.reserve(nodos.size());
  for (const XmlNode& nodo : nodos) {
    // The MateriasGrupo above it, then its Grupo.
    const XmlNode suGrupo = nodo.parent().parent();
    MateriaGrupo m{nodo, ctx.leer(nodo, "Codigo"), suGrupo.attributeWide("Codigo"), {}};
    const std::u16string horas = nodo.attributeWide("Horas");
    const std::string horas8 = toWindows1252(horas);
    if (!leerHoras(horas8))
      throw ErrorDatos("Horas no válidas en la materia " +
                       utf16ToUtf8(nodo.attributeWide("Codigo")) + " del grupo " +
                       utf16ToUtf8(m.grupo) + " (línea " + std::to_string(nodo.line()) + "): '" +
                       utf16ToUtf8(horas) + "'");
    m.carga = calcularCarga(horas8, ctx.Duracion1, ctx.Duracion2, ctx.Duracion3);
    if (m.codigo.empty())
      ctx.informe.avisar("materia_sin_codigo",
                         "La materia del grupo " + utf16ToUtf8(m.grupo) + " (línea " +
                             std::to_string(nodo.line()) + ") no tiene código y no se escribe",
                         nodo.line());
    materias.push_back(std::move(m));
  }
  return materias;
}

// Group code -> positions in `materias` of its subjects with a code, in document order:
// the rows that walking every subject for every group would keep.
std::unordered_map<std::u16string, std::vector<std::size_t>> indicePorGrupo(
    const std::vector<MateriaGrupo>& materias) {
  std::unordered_map<std::u16string, std::vector<std::size_t>> indice;
  for (std::size_t i = 0; i < materias.size(); ++i)
    if (!materias[i].codigo.empty()) indice[materias[i].grupo].push_back(i);
  return indice;
}

// Why the load fell back to whole hours, naming the lengths that were tried.
std::string motivoRedondeo(const Contexto& ctx) {
  std::string tried;
  for (int d : {ctx.Duracion1, ctx.Duracion2, ctx.Duracion3}) {
    if (d == 0) break;
    tried += (tried.empty() ? "" : ", ") + std::to_string(d);
  }
  return tried.empty() ? "la rejilla de sesiones no dio duraciones"
                       : "las horas no dan un número entero de sesiones de " + tried + " minutos";
}

// A whole load as digits, whatever its size.
std::string entero(float carga) {
  char digitos[64];
  auto r = std::to_chars(digitos, digitos + sizeof digitos, static_cast<double>(carga),
                         std::chars_format::fixed, 0);
  return std::string(digitos, r.ptr);
}

struct Grupo {
  XmlNode nodo;
  std::string codigo, turno, ensenanza, curso, letra;
};

void escribirFila(Contexto& ctx, DbfTable& tabla, long fila, const Grupo& g,
                  const MateriaGrupo& m) {
  const float carga = m.carga.sesiones;
  tabla.append();
  tabla.setText("CASIG", m.codigo);
  tabla.setText("CGRUP", g.codigo);
  tabla.setText("TURNO", g.turno);
  tabla.setText("NIVEL", g.ensenanza);
  tabla.setText("CURSO", g.curso);
  tabla.setText("GRUPO", g.letra);
  tabla.setFloat("HORAS", carga);
  tabla.setText("SESIONES", cadenaSesiones(carga));
  tabla.setText("CTAREA", "CCM");
  tabla.setText("ASIG_GESTION", g.codigo);
  tabla.post();

  // Named only for a notice: most rows have none.
  const auto quien = [&] {
    return "ASIGT fila " + std::to_string(fila) + ": materia " + windows1252ToUtf8(m.codigo) +
           " del grupo " + windows1252ToUtf8(g.codigo) + " (línea " +
           std::to_string(m.nodo.line()) + ")";
  };
  if (m.carga.redondeada)
    ctx.informe.avisar("carga_redondeada",
                       quien() + ": " + motivoRedondeo(ctx) +
                           "; se escriben las horas redondeadas hacia arriba (" + entero(carga) +
                           ")",
                       m.nodo.line());
  // These fields keep the school's own codes, not the short ones; a cut code is what the
  // host will have to match by hand.
  std::string recortes;
  for (auto [campo, codigo] : {std::pair{"CASIG", &m.codigo}, std::pair{"CGRUP", &g.codigo}})
    if (codigo->size() > kAnchoCodigo)
      recortes += std::string(recortes.empty() ? "" : " y ") + campo + " '" +
                  windows1252ToUtf8(codigo->substr(0, kAnchoCodigo)) + "'";
  if (!recortes.empty())
    ctx.informe.avisar("codigo_recortado",
                       quien() + ": el código se guarda recortado a cuatro caracteres en " +
                           recortes,
                       m.nodo.line());
}

}  // namespace

void GenerarMateriasGrupo(Contexto& ctx) {
  // The host's tables of subjects and groups stay locked for this whole step, so nothing
  // changes them while the load that refers to them is written; they are not read.
  DbfTable asignaturas = DbfTable::open(ctx.carpeta, "ASIGNOMT", Access::Exclusive, &ctx.archivos);
  DbfTable grupos = DbfTable::open(ctx.carpeta, "GRUPOST", Access::Exclusive, &ctx.archivos);

  DbfTable::create(ctx.carpeta, kTabla, disenos::ASIGT, {}, &ctx.archivos);
  DbfTable tabla = DbfTable::open(ctx.carpeta, kTabla, Access::Shared, &ctx.archivos);

  long filas = 0;
  const std::vector<XmlNode> nodos = ctx.DocXML.selectNodes("/Centro/Grupos/Grupo");
  // A single Grupo is read as well: a one-group school still has its subjects.
  if (!nodos.empty()) {
    const std::vector<MateriaGrupo> materias = leerMaterias(ctx);
    const auto indice = indicePorGrupo(materias);
    tabla.reserve(materias.size());  // a row per subject; more only where groups share a code
    for (const XmlNode& nodo : nodos) {
      Grupo g{nodo,
              ctx.leer(nodo, "Codigo"),
              ctx.leer(nodo, "Turno"),
              ctx.leer(nodo, "CodigoEnsenanza"),
              ctx.leer(nodo, "Curso"),
              ctx.leer(nodo, "Letra")};
      // Compared as the school system's text once it has been through the code page, so a
      // code with a character Windows-1252 lacks matches no subject.
      auto it = indice.find(fromWindows1252(g.codigo));
      if (it == indice.end()) continue;
      for (std::size_t i : it->second) escribirFila(ctx, tabla, ++filas, g, materias[i]);
    }
  }
  tabla.close();
  grupos.close();
  asignaturas.close();
  ctx.informe.filas(kTabla, filas);
}

}  // namespace tov
