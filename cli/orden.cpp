#include "cli/orden.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/carpeta_trabajo.h"
#include "app/errores.h"
#include "app/informe.h"
#include "centre_to_timetable/conversion.h"
#include "cli/json.h"
#include "timetable_to_centre/exportacion_solucion.h"
#include "app/sistema_archivos.h"

namespace fs = std::filesystem;

namespace tov {
namespace {

constexpr const char* kAyuda =
    "Uso:\n"
    "  transorvant-cli exportar FICHERO.xml [--carpeta DIR] [--comprobar] [--json]\n"
    "      Convierte el documento XML de Lumbra-Zetra en las tablas de Orvantis.\n"
    "  transorvant-cli importar FICHERO.xml [--carpeta DIR] [--comprobar] [--json]\n"
    "      Convierte la solución de Orvantis (SOLUC) en un documento XML para Lumbra-Zetra,\n"
    "      escrito junto al documento como ResultadoOrvant<nombre del documento>.\n"
    "\n"
    "Opciones:\n"
    "  --carpeta DIR  carpeta de trabajo (por omisión, la de Orvantis: C:\\XCAMBIO)\n"
    "  --comprobar    ensayo: lo hace todo en una carpeta temporal, muestra el informe\n"
    "                 y no cambia nada en la carpeta de trabajo ni junto al documento\n"
    "  --json         responde con un único objeto JSON\n"
    "  --help         muestra esta ayuda\n"
    "\n"
    "Estado de salida: 0 completado, 1 error, 2 uso incorrecto, 3 no hay entrada.\n";

struct Opciones {
  std::string orden;
  fs::path fichero;
  fs::path carpeta;
  bool comprobar = false;
  bool json = false;
};

// A folder of our own outside the work folder, removed with what it holds.
class CarpetaEnsayo {
 public:
  CarpetaEnsayo() {
    std::string plantilla = (fs::temp_directory_path() / "transorvant-XXXXXX").string();
    if (!mkdtemp(plantilla.data()))
      throw ErrorArchivo("No se puede crear una carpeta temporal en " +
                         fs::temp_directory_path().string());
    ruta_ = plantilla;
  }
  ~CarpetaEnsayo() {
    std::error_code ec;
    fs::remove_all(ruta_, ec);
  }
  const fs::path& ruta() const { return ruta_; }

 private:
  fs::path ruta_;
};

std::optional<Opciones> leerOpciones(const std::vector<std::string>& args, std::string& fallo) {
  Opciones o;
  if (args.empty()) {
    fallo = "Falta la orden (exportar o importar).";
    return std::nullopt;
  }
  o.orden = args[0];
  if (o.orden != "exportar" && o.orden != "importar") {
    fallo = "Orden desconocida: " + o.orden;
    return std::nullopt;
  }
  bool conCarpeta = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--comprobar") {
      o.comprobar = true;
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--carpeta") {
      if (i + 1 >= args.size()) {
        fallo = "Falta la carpeta después de --carpeta.";
        return std::nullopt;
      }
      o.carpeta = args[++i];
      conCarpeta = true;
    } else if (a.rfind("--", 0) == 0) {
      fallo = "Opción desconocida: " + a;
      return std::nullopt;
    } else if (o.fichero.empty()) {
      o.fichero = a;
    } else {
      fallo = "Sobra el argumento: " + a;
      return std::nullopt;
    }
  }
  if (o.fichero.empty()) {
    fallo = "Falta el fichero XML.";
    return std::nullopt;
  }
  if (!conCarpeta) o.carpeta = carpetaTrabajoPorDefecto();
  return o;
}

void escribirJson(std::ostream& out, const std::string& resultado, const Opciones& o,
                  const Informe* informe, const std::string& mensaje) {
  out << "{\"resultado\":" << json::cadena(resultado)
      << ",\"carpeta\":" << json::cadena(o.carpeta.string());
  if (o.comprobar) out << ",\"comprobacion\":true";
  if (!mensaje.empty()) out << ",\"mensaje\":" << json::cadena(mensaje);
  if (informe) {
    out << ",\"tablas\":{";
    bool primera = true;
    for (const auto& [tabla, filas] : informe->tablas()) {
      out << (primera ? "" : ",") << json::cadena(tabla) << ":" << filas;
      primera = false;
    }
    out << "},\"avisos\":[";
    primera = true;
    for (const auto& a : informe->avisos()) {
      out << (primera ? "" : ",") << "{\"tipo\":" << json::cadena(a.tipo)
          << ",\"mensaje\":" << json::cadena(a.mensaje);
      if (a.linea > 0) out << ",\"linea\":" << a.linea;
      out << "}";
      primera = false;
    }
    out << "]";
  }
  out << "}\n";
}

Informe exportar(const Opciones& o) {
  ListaCatalogo codigos, nombres;
  std::vector<std::string> plantillas;
  Conversion conversion;
  if (o.comprobar) {
    CarpetaEnsayo ensayo;
    conversion.carpeta = ensayo.ruta();
    return convertirCentro(o.fichero, conversion, codigos, nombres, plantillas);
  }
  conversion.carpeta = o.carpeta;
  return convertirCentro(o.fichero, conversion, codigos, nombres, plantillas);
}

// The way back writes beside the document; a dry run writes into a folder of its own.
Informe importar(const Opciones& o) {
  if (o.comprobar) {
    CarpetaEnsayo ensayo;
    return exportarSolucion(o.fichero, o.carpeta, SistemaArchivos::real(),
                            ensayo.ruta() / rutaResultado(o.fichero).filename());
  }
  return exportarSolucion(o.fichero, o.carpeta, SistemaArchivos::real(), rutaResultado(o.fichero));
}

}  // namespace

int ejecutarOrden(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      out << kAyuda;
      return kCompletado;
    }
  }
  std::string fallo;
  auto opciones = leerOpciones(args, fallo);
  if (!opciones) {
    err << fallo << "\n\n" << kAyuda;
    return kUso;
  }
  const Opciones& o = *opciones;
  const bool exporta = o.orden == "exportar";
  std::error_code ec;
  if (exporta ? !fs::is_regular_file(o.fichero, ec)
              : !existeEntradaSolucion(o.fichero, o.carpeta)) {
    const std::string mensaje = exporta ? "No existe archivo" : "No existe archivo XML o Solución.";
    err << mensaje << ": " << o.fichero.string() << "\n";
    if (o.json) escribirJson(out, "sin_entrada", o, nullptr, mensaje);
    return kSinEntrada;
  }
  try {
    Informe informe = exporta ? exportar(o) : importar(o);
    if (o.json) {
      escribirJson(out, "finalizado", o, &informe, "");
    } else {
      out << informe.texto();
      out << (o.comprobar ? "Comprobación finalizada: no se ha cambiado nada.\n"
                          : "Proceso finalizado\n");
    }
    return kCompletado;
  } catch (const std::exception& e) {
    err << e.what() << "\n";
    if (o.json) escribirJson(out, "error", o, nullptr, e.what());
    return kError;
  }
}

}  // namespace tov
