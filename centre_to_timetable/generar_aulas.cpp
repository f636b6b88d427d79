// AULAT: one row per room, with a short code unique in the table; a room without a code
// takes one from its name.
#include "centre_to_timetable/codigos_almacenados.h"
#include "centre_to_timetable/generadores.h"
#include "centre_to_timetable/lectura_elemento.h"
#include "formats/tabla_disenos.h"

namespace tov {
namespace {
constexpr std::string_view kTabla = "AULAT";
constexpr std::size_t kAnchoAbrev = 4;
// Prefix of the search for a code already given out, and of the second search that
// brings a longer code back to four characters.
constexpr std::size_t kPrefijoBusqueda = 3;
constexpr std::size_t kPrefijoSegunda = 2;
}  // namespace

void GenerarAulas(Contexto& ctx) {
  DbfTable::create(ctx.carpeta, kTabla, disenos::AULAT, {}, &ctx.archivos);
  CodigosUsados usados;
  CodigosAlmacenados almacenados;
  DbfTable tabla = DbfTable::open(ctx.carpeta, kTabla, Access::Shared, &ctx.archivos);

  const std::vector<XmlNode> aulas = ctx.DocXML.selectNodes("/Centro/Aulas/Aula");
  tabla.reserve(aulas.size());
  for (const XmlNode& a : aulas) {
    const std::string quien = nombrarElemento(a);
    const std::string nombre = ctx.leer(a, "Denominacion");
    const std::string original = ctx.leer(a, "Codigo");
    const std::string propio = original.empty() ? std::string(primeros(nombre, kAnchoAbrev))
                                                : original;

    std::string codigo = propio;
    const bool repetido = usados.contiene(codigo);
    if (repetido) codigo = BuscarCodigoLibre(primeros(codigo, kPrefijoBusqueda), usados);
    const std::string primera = codigo;
    const bool largo = codigo.size() > kAnchoAbrev;
    if (largo) codigo = BuscarCodigoLibre(primeros(codigo, kPrefijoSegunda), usados);
    usados.anadir(codigo);
    const std::string_view abrev = primeros(codigo, kAnchoAbrev);
    const std::string guardado = almacenados.guardar(abrev, propio, quien);

    tabla.append();
    tabla.setText("ABREV", guardado);
    escribirTexto(ctx, tabla, kTabla, disenos::AULAT, a, "NOMBRE", nombre);
    escribirTexto(ctx, tabla, kTabla, disenos::AULAT, a, "ABREV_GESTION", original);
    tabla.post();

    if (guardado != original) {
      std::string porque;
      auto y = [&] { return porque.empty() ? "" : "; "; };
      if (original.empty()) porque = "tomado del nombre: " + entreComillas(propio);
      if (repetido)
        porque += y() + ("otra aula ya tenía " + entreComillas(propio) + "; le toca " +
                         entreComillas(primera));
      if (largo)
        porque += y() + entreComillas(primera) + " tiene más de cuatro caracteres; le toca " +
                  entreComillas(codigo);
      if (codigo.size() > kAnchoAbrev) porque += y() + std::string("solo caben cuatro caracteres");
      if (guardado != abrev)
        porque += y() + entreComillas(abrev) + " ya es el código de otra aula de la tabla";
      ctx.informe.avisar("codigo_cambiado",
                         quien + ": " +
                             (original.empty() ? std::string("no tiene código y")
                                               : "el código " + entreComillas(original)) +
                             " se guarda en AULAT como " + entreComillas(guardado) + " (" +
                             porque + ")",
                         a.line());
    }
  }

  ctx.informe.filas(std::string(kTabla), static_cast<long>(tabla.recordCount()));
  tabla.close();
}

}  // namespace tov
