// ASIGNOMT: the subjects, then the activity types, each under a short code that no other
// row of the catalogue has.
#include "centre_to_timetable/generadores.h"
#include "centre_to_timetable/lectura_elemento.h"
#include "formats/tabla_disenos.h"
#include "formats/windows1252.h"

namespace tov {
namespace {

constexpr std::string_view kTabla = "ASIGNOMT";
// CODLARGO holds the start of the name: eight UTF-16 units, taken before conversion.
constexpr std::size_t kLargoCodLargo = 8;
// The first characters of a code that may not repeat a code already written.
constexpr std::size_t kCabezaCodigo = 4;

// A name met before leads to the first four characters as candidate, which the first test
// has already found taken; so only two reasons remain.
std::string porQueNoSeEscribe(bool cabezaTomada, std::string_view C, std::string_view candidato) {
  if (cabezaTomada)
    return C.size() > kCabezaCodigo
               ? "sus cuatro primeros caracteres " + entreComillas(primeros(C, kCabezaCodigo)) +
                     " ya son el código de otra fila"
               : "su código " + entreComillas(C) + " ya es el código de otra fila";
  return "su código corto " + entreComillas(candidato) + " ya es el código de otra fila";
}

// Writes the elements at `ruta` into the open ASIGNOMT under the catalogue rules.
void escribirCatalogo(Contexto& ctx, DbfTable& tabla, std::string_view ruta, bool esTarea) {
  for (const XmlNode& e : ctx.DocXML.selectNodes(ruta)) {
    const std::string C = ctx.leer(e, "Codigo");
    const std::string N = ctx.leer(e, "Denominacion");
    const std::string codLargo =
        toWindows1252(std::u16string_view(e.attributeWide("Denominacion")).substr(0, kLargoCodLargo));

    // The first four characters are tested before the name is looked at, whatever code
    // the name then leads to.
    const bool cabezaTomada = ctx.ListaCodigos.contiene(primeros(C, kCabezaCodigo));
    const bool nombreNuevo = !ctx.ListaNombres.contiene(N);
    std::string candidato;
    if (nombreNuevo) {
      ctx.ListaNombres.anadir(N);
      candidato = AcortarCodigo(C);
    } else {
      candidato = std::string(primeros(C, kCabezaCodigo));
    }
    if (cabezaTomada || ctx.ListaCodigos.contiene(candidato)) {
      ctx.informe.avisar(esTarea ? "actividad_no_escrita" : "materia_no_escrita",
                         nombrarElemento(e) + " no se escribe en ASIGNOMT: " +
                             porQueNoSeEscribe(cabezaTomada, C, candidato),
                         e.line());
      continue;
    }
    ctx.ListaCodigos.anadir(candidato);

    tabla.append();
    tabla.setText("COD", candidato);
    tabla.setText("CODLARGO", codLargo);
    escribirTexto(ctx, tabla, kTabla, disenos::ASIGNOMT, e, "NOMBRE", N);
    tabla.setLogical("ESTAREA", esTarea);
    escribirTexto(ctx, tabla, kTabla, disenos::ASIGNOMT, e, "ABREV_GESTION", C);
    tabla.post();

    if (candidato != C)
      ctx.informe.avisar("codigo_cambiado",
                         nombrarElemento(e) + ": el código " + entreComillas(C) +
                             " se guarda en ASIGNOMT como " + entreComillas(candidato),
                         e.line());
  }
}

}  // namespace

void GenerarMaterias(Contexto& ctx) {
  DbfTable::create(ctx.carpeta, kTabla, disenos::ASIGNOMT, {}, &ctx.archivos);
  DbfTable tabla = DbfTable::open(ctx.carpeta, kTabla, Access::Shared, &ctx.archivos);
  escribirCatalogo(ctx, tabla, "/Centro/Materias/Materia", false);
  ctx.informe.filas(std::string(kTabla), static_cast<long>(tabla.recordCount()));
  tabla.close();
}

void GenerarTiposActividad(Contexto& ctx) {
  // Continues the table and the lists that GenerarMaterias left in this run.
  DbfTable tabla = DbfTable::open(ctx.carpeta, kTabla, Access::Shared, &ctx.archivos);
  escribirCatalogo(ctx, tabla, "/Centro/TiposActividad/TipoActividad", true);
  ctx.informe.filas(std::string(kTabla), static_cast<long>(tabla.recordCount()));
  tabla.close();
}

}  // namespace tov
