// GRUPOST: one row per group, with a short code unique in the table, the course of study
// in the description, and the tutor when PROFT knows that teacher.
#include <unordered_map>
#include <unordered_set>

#include "app/sistema_archivos.h"
#include "centre_to_timetable/codigos_almacenados.h"
#include "centre_to_timetable/generadores.h"
#include "centre_to_timetable/lectura_elemento.h"
#include "centre_to_timetable/lectura_indice.h"
#include "formats/tabla_disenos.h"
#include "formats/windows1252.h"

namespace tov {
namespace {
constexpr std::string_view kTabla = "GRUPOST";
constexpr std::size_t kAnchoAbrev = 4;
constexpr std::size_t kPrefijoBusqueda = 3;

// The teachers' codes as PROFT holds them, read once: a tutor is a teacher when some row's
// ABREV equals it exactly, as a case-sensitive locate would find.
class Tutores {
 public:
  explicit Tutores(DbfTable& proft) {
    for (proft.first(); !proft.eof(); proft.next()) {
      std::string abrev = proft.text("ABREV");
      parecidos_.try_emplace(foldCase(abrev), abrev);
      exactos_.insert(std::move(abrev));
    }
  }

  bool esProfesor(const std::string& tutor) const { return exactos_.count(tutor) != 0; }

  // Why a code that is not a teacher's is not one, for the report.
  std::string porQueNo(const std::string& tutor) const {
    if (tutor.size() > kAnchoAbrev) {
      std::string porque = "tiene más de cuatro caracteres y ningún código de PROFT es tan largo";
      if (const std::string cabeza(primeros(tutor, kAnchoAbrev)); exactos_.count(cabeza))
        porque += " (PROFT tiene " + entreComillas(cabeza) + ", quizá ese profesor)";
      return porque;
    }
    if (auto it = parecidos_.find(foldCase(tutor)); it != parecidos_.end())
      return "solo coincide con el profesor " + entreComillas(it->second) +
             " si no se distinguen mayúsculas y minúsculas";
    return "no es el código de ningún profesor de PROFT";
  }

 private:
  std::unordered_set<std::string> exactos_;
  std::unordered_map<std::string, std::string> parecidos_;  // folded code -> first ABREV
};

}  // namespace

void GenerarGrupos(Contexto& ctx) {
  // The host's course table is built from GRUPOST; an old one would disagree with it.
  ctx.archivos.eliminar(ctx.carpeta / "CURSOST.DBF");
  ctx.archivos.eliminar(ctx.carpeta / "CURSOST.MDX");
  DbfTable::create(ctx.carpeta, kTabla, disenos::GRUPOST, {}, &ctx.archivos);
  CodigosUsados usados;
  CodigosAlmacenados almacenados;
  IndiceDenominaciones ensenanzas(ctx.DocXML, "/Centro/Ensenanzas/Ensenanza");

  // Exclusive, as the window's component holds it.
  DbfTable proft = DbfTable::open(ctx.carpeta, "PROFT", Access::Exclusive, &ctx.archivos);
  const Tutores tutores(proft);
  DbfTable tabla = DbfTable::open(ctx.carpeta, kTabla, Access::Shared, &ctx.archivos);

  const std::vector<XmlNode> grupos = ctx.DocXML.selectNodes("/Centro/Grupos/Grupo");
  tabla.reserve(grupos.size());
  for (const XmlNode& g : grupos) {
    const std::string quien = nombrarElemento(g);
    const std::string original = ctx.leer(g, "Codigo");
    const std::string denominacion = ctx.leer(g, "Denominacion");
    const std::string nivel = ctx.leer(g, "CodigoEnsenanza");
    const std::string turno = ctx.leer(g, "Turno");
    const std::string curso = ctx.leer(g, "Curso");
    const std::string letra = ctx.leer(g, "Letra");

    std::string tutor = ctx.leer(g, "CodigoTutor");
    if (!tutor.empty() && !tutores.esProfesor(tutor)) {
      ctx.informe.avisar("tutor_desconocido",
                         quien + ": el tutor " + entreComillas(tutor) + " no se guarda: " +
                             tutores.porQueNo(tutor),
                         g.line());
      tutor.clear();
    }

    std::string descrip = denominacion;
    if (!nivel.empty())
      if (const std::string* ensenanza = ensenanzas.buscar(ctx, nivel))
        descrip += " (" + *ensenanza + ")";

    // Codes longer than four characters are squeezed; the squeezed code is not tested again.
    std::string codigo = original;
    const bool repetido = usados.contiene(codigo);
    if (repetido) codigo = BuscarCodigoLibre(primeros(codigo, kPrefijoBusqueda), usados);
    const std::string buscado = codigo;
    codigo = AcortarCodigo(codigo);
    usados.anadir(codigo);
    const std::string guardado = almacenados.guardar(codigo, original, quien);

    tabla.append();
    tabla.setText("ABREV", guardado);
    escribirTexto(ctx, tabla, kTabla, disenos::GRUPOST, g, "TURNO", turno);
    escribirTexto(ctx, tabla, kTabla, disenos::GRUPOST, g, "NIVEL", nivel);
    escribirTexto(ctx, tabla, kTabla, disenos::GRUPOST, g, "CURSO", curso);
    escribirTexto(ctx, tabla, kTabla, disenos::GRUPOST, g, "GRUPO", letra);
    escribirTexto(ctx, tabla, kTabla, disenos::GRUPOST, g, "DESCRIP", descrip);
    tabla.setText("TUTOR", tutor);
    tabla.post();

    if (guardado != original) {
      std::string porque;
      auto y = [&] { return porque.empty() ? "" : "; "; };
      if (repetido)
        porque = "otro grupo ya tenía ese código; le toca " + entreComillas(buscado);
      if (codigo != buscado)
        porque += y() + entreComillas(buscado) + " tiene más de cuatro caracteres y se acorta a " +
                  entreComillas(codigo);
      if (guardado != codigo)
        porque += y() + entreComillas(codigo) + " ya es el código de otro grupo de la tabla";
      ctx.informe.avisar("codigo_cambiado",
                         quien + ": el código " + entreComillas(original) +
                             " se guarda en GRUPOST como " + entreComillas(guardado) + " (" +
                             porque + ")",
                         g.line());
    }
  }

  ctx.informe.filas(std::string(kTabla), static_cast<long>(tabla.recordCount()));
  tabla.close();
  proft.close();
}

}  // namespace tov
