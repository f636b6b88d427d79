// PROFT: one row per teacher, with a short code unique in the table and the name of the
// teacher's department.
#include "centre_to_timetable/codigos_almacenados.h"
#include "centre_to_timetable/generadores.h"
#include "centre_to_timetable/lectura_elemento.h"
#include "centre_to_timetable/lectura_indice.h"
#include "formats/tabla_disenos.h"

namespace tov {
namespace {
constexpr std::string_view kTabla = "PROFT";
constexpr std::size_t kAnchoAbrev = 4;
// Prefix of the suffix search for a code already given out.
constexpr std::size_t kPrefijoBusqueda = 3;
}  // namespace

void GenerarProfesores(Contexto& ctx) {
  DbfTable::create(ctx.carpeta, kTabla, disenos::PROFT, {}, &ctx.archivos);
  CodigosUsados usados;
  CodigosAlmacenados almacenados;
  IndiceDenominaciones departamentos(ctx.DocXML, "/Centro/Departamentos/Departamento");
  DbfTable tabla = DbfTable::open(ctx.carpeta, kTabla, Access::Shared, &ctx.archivos);

  const std::vector<XmlNode> profesores = ctx.DocXML.selectNodes("/Centro/Profesores/Profesor");
  tabla.reserve(profesores.size());
  for (const XmlNode& p : profesores) {
    const std::string quien = nombrarElemento(p);
    const std::string original = ctx.leer(p, "Codigo");
    const std::string nombre = ctx.leer(p, "Nombre") + ", " + ctx.leer(p, "Apellido1") + " " +
                               ctx.leer(p, "Apellido2");

    std::string depart = ctx.leer(p, "CodigoDep");
    if (!depart.empty()) {
      if (const std::string* denominacion = departamentos.buscar(ctx, depart))
        depart = *denominacion;
      else
        ctx.informe.avisar("departamento_desconocido",
                           quien + ": ningún departamento tiene el código " +
                               entreComillas(depart) + "; DEPART guarda el código",
                           p.line());
    }

    // The list holds the code whole; the field keeps its first four characters.
    std::string codigo = original;
    const bool repetido = usados.contiene(codigo);
    if (repetido) codigo = BuscarCodigoLibre(primeros(codigo, kPrefijoBusqueda), usados);
    usados.anadir(codigo);
    const std::string_view abrev = primeros(codigo, kAnchoAbrev);
    const std::string guardado = almacenados.guardar(abrev, original, quien);

    tabla.append();
    tabla.setText("ABREV", guardado);
    escribirTexto(ctx, tabla, kTabla, disenos::PROFT, p, "NOMBRE", nombre);
    escribirTexto(ctx, tabla, kTabla, disenos::PROFT, p, "DEPART", depart);
    tabla.post();

    if (guardado != original) {
      std::string porque;
      if (repetido) porque = "otro profesor ya tenía ese código; le toca " + entreComillas(codigo);
      if (codigo.size() > kAnchoAbrev)
        porque += std::string(porque.empty() ? "" : "; ") + "solo caben cuatro caracteres";
      if (guardado != abrev)
        porque += std::string(porque.empty() ? "" : "; ") + entreComillas(abrev) +
                  " ya es el código de otro profesor de la tabla";
      ctx.informe.avisar("codigo_cambiado",
                         quien + ": el código " + entreComillas(original) + " se guarda en " +
                             "PROFT como " + entreComillas(guardado) + " (" + porque + ")",
                         p.line());
    }
  }

  ctx.informe.filas(std::string(kTabla), static_cast<long>(tabla.recordCount()));
  tabla.close();
}

}  // namespace tov
