// The session grid: the weekly periods into DIASHORAST, numbered in time order within each
// day, and the tally of their lengths into COUNTSES, whose first three rows give the
// session lengths of the run.
#include <charconv>
#include <string>
#include <vector>

#include "app/errores.h"
#include "centre_to_timetable/generadores.h"
#include "centre_to_timetable/plantilla_sesion.h"
#include "formats/tabla_dbase.h"
#include "formats/tabla_disenos.h"
#include "formats/windows1252.h"

namespace tov {
namespace {

const char* const kTablaDias = "DIASHORAST";
const char* const kTablaCuentas = "COUNTSES";

std::string lugar(const XmlNode& sesion) {
  return "La sesión de la línea " + std::to_string(sesion.line());
}

// A start or end time in HH:MM, or the error that stops the run.
std::string leerHora(const XmlNode& sesion, std::string_view atributo) {
  std::u16string ancha = sesion.attributeWide(atributo);
  if (auto hora = normalizarHora(toWindows1252(ancha))) return *hora;
  throw ErrorDatos("Hora no válida en la sesión de la línea " + std::to_string(sesion.line()) +
                   ": '" + utf16ToUtf8(ancha) + "'");
}

// Fills the template list from the Sesion elements, in ascending order.
void leerSesiones(Contexto& ctx) {
  ctx.ListBoxPlanti.clear();
  // Even a single Sesion is read: a one-period week is still a week.
  for (const XmlNode& sesion : ctx.DocXML.selectNodes("/Centro/Sesiones/Sesion")) {
    std::u16string dia = sesion.attributeWide("Dia");
    if (dia.empty()) {
      ctx.informe.avisar("sesion_omitida", lugar(sesion) + " no tiene día y no se escribe",
                         sesion.line());
      continue;
    }
    std::optional<int> numero = numeroDeDia(dia.front());
    if (!numero) {
      ctx.informe.avisar("sesion_omitida",
                         lugar(sesion) + " tiene el día '" + utf16ToUtf8(dia) +
                             "', que no empieza por L, M, X, J, V, S ni D, y no se escribe",
                         sesion.line());
      continue;
    }
    std::string inicio = leerHora(sesion, "HoraInicio");
    std::string fin = leerHora(sesion, "HoraFin");
    const int minutos = minutosDelDia(fin) - minutosDelDia(inicio);
    if (minutos <= 0)
      ctx.informe.avisar("duracion_no_positiva",
                         lugar(sesion) + " (" + inicio + "-" + fin + ") dura " +
                             std::to_string(minutos) + " minutos; se escribe y se cuenta así",
                         sesion.line());
    anadirEntrada(ctx.ListBoxPlanti, entradaPlantilla(*numero, inicio, fin));
  }
}

// One row per entry; the ordinal restarts with each day.
long escribirDias(Contexto& ctx) {
  DbfTable dias = DbfTable::open(ctx.carpeta, kTablaDias, Access::Shared, &ctx.archivos);
  int diaActual = 0, ordinal = 0;
  long filas = 0;
  for (const std::string& entrada : ctx.ListBoxPlanti) {
    Periodo p = leerEntrada(entrada);
    if (p.dia != diaActual) {
      ordinal = 0;
      diaActual = p.dia;
    }
    ++ordinal;
    const std::string dia = std::to_string(p.dia);
    const std::string hora = std::to_string(ordinal);
    dias.append();
    dias.setText("DIHO", dia + hora);
    dias.setText("DIA", dia);
    dias.setText("TEXTODIA", nombreDeDia(p.dia));
    dias.setText("HORA", hora);
    dias.setText("TEXTOHOR", p.texto);
    dias.setText("HORADESDE", p.inicio);
    dias.setText("HORAHASTA", p.fin);
    dias.setText("MINUTOS", std::to_string(p.minutos));
    dias.post();
    ++filas;
  }
  dias.close();
  return filas;
}

int comoEntero(const std::string& texto) {
  int n = 0;
  std::from_chars(texto.data(), texto.data() + texto.size(), n);
  return n;
}

// Tallies the lengths of DIASHORAST in order of first occurrence and takes the first three
// as the session lengths.
long contarDuraciones(Contexto& ctx) {
  ctx.Duracion1 = ctx.Duracion2 = ctx.Duracion3 = 0;
  DbfTable::create(ctx.carpeta, kTablaCuentas, disenos::COUNTSES, disenos::COUNTSES_INDICES,
                   &ctx.archivos);
  DbfTable cuentas = DbfTable::open(ctx.carpeta, kTablaCuentas, Access::Shared, &ctx.archivos);
  DbfTable dias = DbfTable::open(ctx.carpeta, kTablaDias, Access::Shared, &ctx.archivos);
  long filas = 0;
  for (dias.first(); !dias.eof(); dias.next()) {
    const std::string minutos = dias.text("MINUTOS");
    if (cuentas.locate("DURACION", minutos)) {
      cuentas.edit();
      cuentas.setInteger("NSES", cuentas.integer("NSES") + 1);
    } else {
      cuentas.append();
      cuentas.setText("DURACION", minutos);
      cuentas.setInteger("NSES", 1);
      ++filas;
    }
    cuentas.post();
  }
  cuentas.first();
  for (int* duracion : {&ctx.Duracion1, &ctx.Duracion2, &ctx.Duracion3}) {
    if (cuentas.eof()) break;
    *duracion = comoEntero(cuentas.text("DURACION"));
    cuentas.next();
  }
  cuentas.close();
  dias.close();
  return filas;
}

}  // namespace

void GenerarSesiones(Contexto& ctx) {
  DbfTable::create(ctx.carpeta, kTablaDias, disenos::DIASHORAST, {}, &ctx.archivos);
  leerSesiones(ctx);
  ctx.informe.filas(kTablaDias, escribirDias(ctx));
  ctx.informe.filas(kTablaCuentas, contarDuraciones(ctx));
}

}  // namespace tov
