#include "centre_to_timetable/sustitucion_tablas.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>

#include "app/errores.h"
#include "app/sistema_archivos.h"
#include "formats/tabla_dbase.h"

namespace fs = std::filesystem;

namespace tov {
namespace {

constexpr const char* kEscenario = ".transorvant";

// The manifest lists, one per line, "A <name>" for an old file that is moved aside and
// "N <name>" for a new file that is put in place, so that recovery can tell a new file
// from an old one that was never moved.
struct Lista {
  std::vector<std::string> antiguos;
  std::vector<std::string> nuevos;

  std::string texto() const {
    std::string t;
    for (const auto& a : antiguos) t += "A " + a + "\n";
    for (const auto& n : nuevos) t += "N " + n + "\n";
    return t;
  }
  static Lista leer(const fs::path& ruta) {
    Lista l;
    std::ifstream f(ruta);
    std::string linea;
    while (std::getline(f, linea)) {
      if (linea.size() < 3) continue;
      (linea[0] == 'A' ? l.antiguos : l.nuevos).push_back(linea.substr(2));
    }
    return l;
  }
};

bool existe(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

bool contiene(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

void borrarArbol(SistemaArchivos& archivos, const fs::path& raiz) {
  std::error_code ec;
  if (!fs::exists(raiz, ec)) return;
  if (fs::is_directory(raiz, ec)) {
    std::vector<fs::path> hijos;
    for (const auto& e : fs::directory_iterator(raiz, ec)) hijos.push_back(e.path());
    for (const auto& h : hijos) borrarArbol(archivos, h);
  }
  archivos.eliminar(raiz);
}

}  // namespace

const std::vector<std::string>& SustitucionTablas::archivosSustituidos() {
  static const std::vector<std::string> nombres = [] {
    std::vector<std::string> v;
    for (const char* t : {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "ASIGT", "DIASHORAST",
                          "COUNTSES", "CURSOST"}) {
      v.push_back(std::string(t) + ".DBF");
      v.push_back(std::string(t) + ".MDX");
    }
    return v;
  }();
  return nombres;
}

SustitucionTablas::SustitucionTablas(fs::path carpeta, SistemaArchivos& archivos)
    : carpeta_(std::move(carpeta)),
      escenario_(carpeta_ / kEscenario),
      nuevo_(escenario_ / "nuevo"),
      anterior_(escenario_ / "anterior"),
      archivos_(archivos) {
  recuperar();
  archivos_.crearCarpeta(nuevo_);
}

SustitucionTablas::~SustitucionTablas() {
  if (!confirmado_) borrarEscenario();
}

void SustitucionTablas::borrarEscenario() noexcept {
  try {
    limpiarEscenario();
  } catch (const std::exception&) {
    // What is left is staging only; the next run's recovery removes it.
  }
}

void SustitucionTablas::limpiarEscenario() {
  // The old files go first: anterior/ without hecho would mean "put them back".
  borrarArbol(archivos_, anterior_);
  borrarArbol(archivos_, nuevo_);
  borrarArbol(archivos_, escenario_ / "lista");
  borrarArbol(archivos_, escenario_ / "hecho");
  // On Windows the folder's lock file lives here until the lock is released.
  std::error_code ec;
  if (fs::is_empty(escenario_, ec)) archivos_.eliminar(escenario_);
}

void SustitucionTablas::recuperar() {
  if (existe(anterior_)) {
    if (!existe(escenario_ / "hecho")) {
      // Killed before every new file was in place: take the new ones out, put the old back.
      Lista lista = Lista::leer(escenario_ / "lista");
      for (const auto& n : lista.nuevos) {
        bool eraAntiguo = contiene(lista.antiguos, n);
        if (!eraAntiguo || existe(anterior_ / n)) archivos_.eliminar(carpeta_ / n);
      }
      std::error_code ec;
      for (const auto& e : fs::directory_iterator(anterior_, ec))
        archivos_.renombrar(e.path(), carpeta_ / e.path().filename());
    }
  }
  limpiarEscenario();
}

void SustitucionTablas::confirmar() {
  Lista lista;
  for (const auto& nombre : archivosSustituidos()) {
    fs::path viejo = carpeta_ / nombre;
    if (!existe(viejo)) continue;
    // Only files are replaced: a folder of the user's with a table's name is left alone.
    std::error_code ec;
    if (!fs::is_regular_file(viejo, ec))
      throw ErrorArchivo("No se puede sustituir " + viejo.string() + ": no es un archivo");
    if (viejo.extension() == ".DBF" && DbfTable::isHeldByOther(viejo))
      throw ErrorEnUso("La tabla " + viejo.string() + " está en uso por otro programa");
    lista.antiguos.push_back(nombre);
  }
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(nuevo_, ec))
    lista.nuevos.push_back(e.path().filename().string());
  std::sort(lista.nuevos.begin(), lista.nuevos.end());
  if (ec) throw ErrorArchivo("No se puede leer la carpeta " + nuevo_.string() + ": " + ec.message());

  std::vector<std::string> movidos, colocados;
  try {
    archivos_.escribir(escenario_ / "lista", lista.texto());
    archivos_.crearCarpeta(anterior_);
    for (const auto& a : lista.antiguos) {
      archivos_.renombrar(carpeta_ / a, anterior_ / a);
      movidos.push_back(a);
    }
    for (const auto& n : lista.nuevos) {
      archivos_.renombrar(nuevo_ / n, carpeta_ / n);
      colocados.push_back(n);
    }
    archivos_.escribir(escenario_ / "hecho", "");
  } catch (const std::exception& e) {
    std::string mensaje = e.what();
    try {
      for (auto it = colocados.rbegin(); it != colocados.rend(); ++it)
        archivos_.eliminar(carpeta_ / *it);
      for (auto it = movidos.rbegin(); it != movidos.rend(); ++it)
        archivos_.renombrar(anterior_ / *it, carpeta_ / *it);
    } catch (const std::exception& deshacer) {
      // Keep the staging folder: the next run's recovery puts the old files back.
      confirmado_ = true;
      throw ErrorArchivo(mensaje + ". No se pudieron devolver las tablas anteriores (" +
                         deshacer.what() + "); se devolverán en la próxima conversión.");
    }
    throw;
  }
  confirmado_ = true;
  // Every new file is in place; a failure from here on only leaves staging, which the next
  // run's recovery removes.
  borrarEscenario();
}

}  // namespace tov
