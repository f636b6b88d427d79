#include "formats/tabla_dbase.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>
#include <optional>
#include <unordered_map>

#include "app/errores.h"
#include "app/sistema_archivos.h"
#include "formats/dbase_bloqueo.h"
#include "formats/dbase_cabecera.h"
#include "formats/dbase_valores.h"
#include "formats/indice_mdx.h"
#include "formats/tabla_disenos.h"
#include "formats/windows1252.h"

namespace fs = std::filesystem;

namespace tov {
namespace {

// Physical fields of the logical types. Whole numbers: N(11,0) holds every 32-bit value
// with its sign. Floating-point: N(20,4) is wide enough for any weekly load and keeps four
// decimals, which is what the Borland engine shows for a float it is handed.
constexpr int kAnchoEntero = 11;
constexpr int kAnchoReal = 20;
constexpr int kDecimalesReal = 4;
constexpr int kAnchoMaxTexto = 254;  // a C field's width is one byte; 255 is reserved by some readers

const char* const kExtDatos = ".DBF";
const char* const kExtIndice = ".MDX";

std::string mayusculas(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = char(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

// Text keys found by a string_view: a located value needs no copy.
struct HashTexto {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using MapaTexto = std::unordered_map<std::string, std::size_t, HashTexto, std::equal_to<>>;

std::string nombreBase(std::string_view name) {
  if (name.size() > 4 && mayusculas(name.substr(name.size() - 4)) == kExtDatos)
    name.remove_suffix(4);
  return std::string(name);
}

dbase::Fecha hoy() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

// The index definitions a table carries, for tables whose header says they have a
// production index: the engine keeps T.MDX true to the rows it writes.
std::vector<IndexDef> indicesConocidos(const std::string& base) {
  if (mayusculas(base) == "COUNTSES") return disenos::COUNTSES_INDICES;
  return {};
}

// The data file, matched without regard to case when the exact name is absent: a host
// running on a case-sensitive file system may have written "soluc.dbf".
fs::path buscarArchivo(const fs::path& folder, const std::string& archivo) {
  fs::path exacto = folder / archivo;
  std::error_code ec;
  if (fs::exists(exacto, ec)) return exacto;
  for (const auto& e : fs::directory_iterator(folder, ec))
    if (mayusculas(e.path().filename().string()) == mayusculas(archivo)) return e.path();
  return exacto;
}

dbase::Campo campoFisico(const FieldDef& f) {
  dbase::Campo c;
  c.nombre = f.name;
  switch (f.type) {
    case FieldType::Text: c.tipo = 'C'; c.ancho = f.width; break;
    case FieldType::Logical: c.tipo = 'L'; c.ancho = 1; break;
    case FieldType::Integer: c.tipo = 'N'; c.ancho = kAnchoEntero; break;
    case FieldType::Float: c.tipo = 'N'; c.ancho = kAnchoReal; c.decimales = kDecimalesReal; break;
  }
  return c;
}

}  // namespace

struct DbfTable::Impl {
  enum class Estado { Navegar, Editar, Insertar };

  fs::path ruta;
  std::string nombre;  // bare table name, for T.MDX
  SistemaArchivos* archivos = nullptr;
  std::optional<dbase::Bloqueo> bloqueo;
  dbase::Cabecera cab;
  // The file as it will be written, less its end mark: the header, then every row with its
  // deletion flag, back to back. One block, written as it is on close.
  std::string archivo;
  std::size_t filas = 0;
  std::vector<std::string> nombresMayusculas;  // of each field, in order
  std::vector<int> ranuras;  // open addressing over nombresMayusculas: field or -1
  std::vector<IndexDef> indices;
  std::vector<std::optional<MapaTexto>> busquedas;
  std::size_t pos = 0;
  Estado estado = Estado::Navegar;
  std::string buffer;
  bool cambiada = false;

  std::string rutaTexto() const { return ruta.string(); }
  std::size_t inicio(std::size_t i) const { return cab.longCabecera + i * cab.longRegistro; }
  std::string_view registro(std::size_t i) const {
    return std::string_view(archivo).substr(inicio(i), cab.longRegistro);
  }
  bool vivo(std::size_t i) const { return archivo[inicio(i)] != dbase::kRegistroBorrado; }

  std::string fila() const {
    return "Fila " + std::to_string(numeroFila()) + " de " + rutaTexto() + ": ";
  }
  std::size_t numeroFila() const {
    if (estado == Estado::Insertar) return filas + 1;
    return pos < filas ? pos + 1 : 0;
  }

  // Read for every field of every row: a probe in a small table of the upper-case names,
  // which keeps the first field of a name, with nothing to allocate.
  std::size_t campo(std::string_view nombreCampo) const {
    if (!ranuras.empty()) {
      const std::size_t mascara = ranuras.size() - 1;
      for (std::size_t r = hashNombre(nombreCampo) & mascara;; r = (r + 1) & mascara) {
        const int i = ranuras[r];
        if (i < 0) break;
        if (mismoNombre(nombresMayusculas[std::size_t(i)], nombreCampo)) return std::size_t(i);
      }
    }
    throw ErrorTabla("La tabla " + rutaTexto() + " no tiene el campo " +
                     windows1252ToUtf8(nombreCampo));
  }
  void indexarCampos() {
    std::size_t n = 8;
    while (n < 2 * nombresMayusculas.size()) n *= 2;
    ranuras.assign(n, -1);
    for (std::size_t i = 0; i < nombresMayusculas.size(); ++i) {
      for (std::size_t r = hashNombre(nombresMayusculas[i]) & (n - 1);; r = (r + 1) & (n - 1)) {
        if (ranuras[r] < 0) {
          ranuras[r] = int(i);
          break;
        }
        if (nombresMayusculas[std::size_t(ranuras[r])] == nombresMayusculas[i]) break;
      }
    }
  }
  // The character as mayusculas() gives it; callers mostly write names in capitals already,
  // so toupper only where it may change the character (lower-case letters, and bytes past
  // ASCII, which a locale may map).
  static char mayuscula(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x80 && !(u >= 'a' && u <= 'z')) return c;
    return char(std::toupper(u));
  }
  static std::size_t hashNombre(std::string_view nombre) {
    std::size_t h = 14695981039346656037ull;  // FNV-1a
    for (char c : nombre) h = (h ^ static_cast<unsigned char>(mayuscula(c))) * 1099511628211ull;
    return h;
  }
  static bool mismoNombre(const std::string& mayusculas, std::string_view nombre) {
    if (mayusculas.size() != nombre.size()) return false;
    for (std::size_t k = 0; k < nombre.size(); ++k)
      if (mayusculas[k] != mayuscula(nombre[k])) return false;
    return true;
  }
  std::string nombreCampo(std::size_t i) const { return windows1252ToUtf8(cab.campos[i].nombre); }

  void exigirAbierta() const {
    if (!bloqueo) throw ErrorTabla("La tabla " + rutaTexto() + " está cerrada");
  }

  std::string_view actual() const {
    exigirAbierta();
    if (estado != Estado::Navegar) return buffer;
    if (pos >= filas)
      throw ErrorTabla("La tabla " + rutaTexto() + " no está sobre ninguna fila");
    return registro(pos);
  }

  dbase::Valor valorDe(std::string_view registro, std::size_t i) const {
    const dbase::Campo& c = cab.campos[i];
    auto v = dbase::leerValor(c, registro.substr(c.offset, std::size_t(c.ancho)));
    if (!v)
      throw ErrorTabla(fila() + "el campo " + nombreCampo(i) + " es de tipo " +
                       std::string(1, c.tipo) + ", que esta tabla no lee");
    return std::move(*v);
  }

  [[noreturn]] void noEsNumero(std::size_t i, const std::string& texto) const {
    throw ErrorTabla(fila() + "el campo " + nombreCampo(i) + " no es un número: '" +
                     windows1252ToUtf8(texto) + "'");
  }

  std::string& editable(std::size_t i) {
    exigirAbierta();
    if (estado == Estado::Navegar)
      throw ErrorTabla("La tabla " + rutaTexto() + " no está en edición al escribir el campo " +
                       nombreCampo(i));
    return buffer;
  }
  void poner(std::size_t i, const std::string& bytes) {
    const dbase::Campo& c = cab.campos[i];
    editable(i).replace(c.offset, std::size_t(c.ancho), bytes);
  }
  [[noreturn]] void noCabe(std::size_t i, const std::string& valor) const {
    throw ErrorTabla(fila() + "el valor " + valor + " no cabe en el campo " + nombreCampo(i) +
                     " (" + std::string(1, cab.campos[i].tipo) + " de ancho " +
                     std::to_string(cab.campos[i].ancho) + ")");
  }
  [[noreturn]] void noEscribible(std::size_t i, const std::string& que) const {
    throw ErrorTabla(fila() + "el campo " + nombreCampo(i) + " de tipo " +
                     std::string(1, cab.campos[i].tipo) + " no admite " + que);
  }

  void irDesde(std::size_t i) {
    while (i < filas && !vivo(i)) ++i;
    pos = i;
  }

  void publicar() {
    if (estado == Estado::Navegar) return;
    // Rows sit back to back: one of another length would shift every row after it.
    if (buffer.size() != cab.longRegistro)
      throw ErrorTabla(fila() + "la fila tiene " + std::to_string(buffer.size()) +
                       " bytes en lugar de " + std::to_string(cab.longRegistro));
    if (estado == Estado::Insertar) {
      archivo += buffer;
      pos = filas++;
      for (std::size_t f = 0; f < busquedas.size(); ++f)
        if (busquedas[f]) busquedas[f]->emplace(valorDe(buffer, f).texto, pos);
    } else {
      for (std::size_t f = 0; f < busquedas.size(); ++f)
        if (busquedas[f] && valorDe(registro(pos), f).texto != valorDe(buffer, f).texto)
          busquedas[f].reset();  // the first match may move anywhere: rebuild on next use
      archivo.replace(inicio(pos), cab.longRegistro, buffer);
    }
    estado = Estado::Navegar;
    cambiada = true;
  }

  std::vector<std::uint8_t> indice(const IndexDef& def, dbase::Fecha f) const {
    const std::size_t i = campo(def.field);
    std::vector<double> claves;
    for (std::size_t r = 0; r < filas; ++r) {
      if (!vivo(r)) continue;
      dbase::Valor v = valorDe(registro(r), i);
      claves.push_back(v.blanco || !v.numero ? 0.0 : *v.numero);
    }
    return mdx::buildNumericIndex(def.tag, nombre, claves, {f.anio, f.mes, f.dia});
  }

  void escribir() {
    const dbase::Fecha f = hoy();
    dbase::actualizarCabecera(archivo, std::uint32_t(filas), f);
    archivo += char(dbase::kFinArchivo);
    struct SinMarca {
      std::string& a;
      ~SinMarca() { a.pop_back(); }
    } sinMarca{archivo};
    archivos->escribir(ruta, archivo);
    for (const auto& def : indices) {
      auto mdx = indice(def, f);
      archivos->escribir(ruta.parent_path() / (nombre + kExtIndice),
                         std::string_view(reinterpret_cast<const char*>(mdx.data()), mdx.size()));
    }
  }
};

void DbfTable::create(const fs::path& folder, std::string_view name, const std::vector<FieldDef>& fields,
                      const std::vector<IndexDef>& indexes, SistemaArchivos* files) {
  SistemaArchivos& archivos = files ? *files : SistemaArchivos::real();
  const std::string base = nombreBase(name);
  const fs::path dbf = folder / (base + kExtDatos);
  const fs::path mdx = folder / (base + kExtIndice);
  if (dbase::Bloqueo::retenidoPorOtro(dbf))
    throw ErrorEnUso("La tabla " + dbf.string() + " está en uso por otro programa");
  // Old files go first, the data file before its index; a removal that fails shows up
  // as a failure to write the new file.
  for (const auto& viejo : {dbf, mdx}) {
    try {
      archivos.eliminar(viejo);
    } catch (const ErrorArchivo&) {
    }
  }

  dbase::Cabecera cab;
  cab.fecha = hoy();
  cab.indiceProduccion = !indexes.empty();
  std::unordered_map<std::string, bool> vistos;
  for (const FieldDef& f : fields) {
    const std::string n = windows1252ToUtf8(f.name);
    if (f.name.empty() || f.name.size() >= dbase::kNombreNivel7)
      throw ErrorTabla("La tabla " + dbf.string() + " no puede tener un campo llamado '" + n + "'");
    if (!vistos.emplace(mayusculas(f.name), true).second)
      throw ErrorTabla("La tabla " + dbf.string() + " repite el campo " + n);
    if (f.type == FieldType::Text && (f.width < 1 || f.width > kAnchoMaxTexto))
      throw ErrorTabla("La tabla " + dbf.string() + " no puede tener el campo " + n + " de ancho " +
                       std::to_string(f.width));
    cab.campos.push_back(campoFisico(f));
  }
  for (const IndexDef& ix : indexes)
    if (!vistos.count(mayusculas(ix.field)))
      throw ErrorTabla("La tabla " + dbf.string() + " no tiene el campo " + ix.field +
                       " del índice " + ix.tag);

  std::string bytes = dbase::escribirCabeceraNivel7(cab);
  bytes += char(dbase::kFinArchivo);
  archivos.escribir(dbf, bytes);
  for (const IndexDef& ix : indexes) {
    auto indice = mdx::buildNumericIndex(ix.tag, base, {}, {cab.fecha.anio, cab.fecha.mes, cab.fecha.dia});
    archivos.escribir(mdx, std::string_view(reinterpret_cast<const char*>(indice.data()), indice.size()));
  }
}

DbfTable DbfTable::open(const fs::path& folder, std::string_view name, Access access,
                        SistemaArchivos* files) {
  auto impl = std::make_unique<Impl>();
  impl->nombre = nombreBase(name);
  impl->ruta = buscarArchivo(folder, impl->nombre + kExtDatos);
  impl->archivos = files ? files : &SistemaArchivos::real();
  std::error_code ec;
  if (!fs::is_regular_file(impl->ruta, ec))
    throw ErrorTabla("No existe la tabla " + impl->ruta.string());
  impl->bloqueo.emplace(impl->ruta, access == Access::Exclusive);
  impl->archivo = impl->bloqueo->leerTodo();
  impl->cab = dbase::leerCabecera(impl->archivo, impl->rutaTexto());
  impl->filas = impl->cab.numRegistros;
  impl->archivo.resize(impl->inicio(impl->filas));  // without the end mark and what follows
  for (std::size_t i = 0; i < impl->cab.campos.size(); ++i)
    impl->nombresMayusculas.push_back(mayusculas(impl->cab.campos[i].nombre));
  impl->indexarCampos();
  impl->busquedas.resize(impl->cab.campos.size());
  if (impl->cab.indiceProduccion) impl->indices = indicesConocidos(impl->nombre);
  impl->irDesde(0);
  return DbfTable(std::move(impl));
}

bool DbfTable::isHeldByOther(const fs::path& dbfFile) { return dbase::Bloqueo::retenidoPorOtro(dbfFile); }

DbfTable::DbfTable(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DbfTable::DbfTable(DbfTable&&) noexcept = default;
DbfTable& DbfTable::operator=(DbfTable&& o) noexcept {
  if (this != &o) {
    try {
      close();
    } catch (...) {
    }
    impl_ = std::move(o.impl_);
  }
  return *this;
}

DbfTable::~DbfTable() {
  try {
    close();
  } catch (...) {
  }
}

void DbfTable::close() {
  if (!impl_ || !impl_->bloqueo) return;
  // An unposted row is dropped, as a dataset that is closed while editing cancels.
  impl_->estado = Impl::Estado::Navegar;
  struct Soltar {
    Impl& t;
    ~Soltar() { t.bloqueo.reset(); }
  } soltar{*impl_};
  if (impl_->cambiada) {
    impl_->cambiada = false;
    impl_->escribir();
  }
}

bool DbfTable::isOpen() const { return impl_ && impl_->bloqueo.has_value(); }
const fs::path& DbfTable::file() const { return impl_->ruta; }

std::size_t DbfTable::recordCount() const {
  std::size_t n = 0;
  for (std::size_t i = 0; i < impl_->filas; ++i) n += impl_->vivo(i);
  return n;
}

void DbfTable::first() {
  impl_->exigirAbierta();
  impl_->publicar();
  impl_->irDesde(0);
}

void DbfTable::next() {
  impl_->exigirAbierta();
  impl_->publicar();
  if (impl_->pos < impl_->filas) impl_->irDesde(impl_->pos + 1);
}

bool DbfTable::eof() const {
  return impl_->estado != Impl::Estado::Insertar && impl_->pos >= impl_->filas;
}

std::size_t DbfTable::recordNumber() const { return impl_->numeroFila(); }

void DbfTable::reserve(std::size_t rows) {
  impl_->exigirAbierta();
  // One more byte for the end mark added when the table is written.
  impl_->archivo.reserve(impl_->inicio(impl_->filas + rows) + 1);
}

void DbfTable::append() {
  impl_->exigirAbierta();
  impl_->publicar();
  // Every field blank, in the buffer that the previous row used.
  std::size_t anchos = 0;
  for (const auto& c : impl_->cab.campos) anchos += std::size_t(c.ancho);
  impl_->buffer.assign(1, dbase::kRegistroVivo);
  impl_->buffer.append(anchos, ' ');
  impl_->estado = Impl::Estado::Insertar;
}

void DbfTable::edit() {
  if (impl_->estado != Impl::Estado::Navegar) return;
  impl_->buffer.assign(impl_->actual());
  impl_->estado = Impl::Estado::Editar;
}

void DbfTable::post() {
  impl_->exigirAbierta();
  impl_->publicar();
}

void DbfTable::setText(std::string_view field, std::string_view value) {
  const std::size_t i = impl_->campo(field);
  const dbase::Campo& c = impl_->cab.campos[i];
  switch (c.tipo) {
    case 'C': {
      // Cut to the field and padded with blanks, written in place: the most frequent write.
      std::string& registro = impl_->editable(i);
      const std::size_t ancho = std::size_t(c.ancho);
      if (registro.size() < c.offset + ancho) {
        impl_->poner(i, dbase::bytesTexto(c, value));
        return;
      }
      const std::size_t n = std::min(value.size(), ancho);
      value.copy(registro.data() + c.offset, n);
      std::fill_n(registro.data() + c.offset + n, ancho - n, ' ');
      return;
    }
    case 'N':
    case 'F': {
      if (value.find_first_not_of(' ') == std::string_view::npos) {
        impl_->poner(i, dbase::blanco(c));
        return;
      }
      std::optional<std::string> b;
      if (auto e = dbase::textoAEntero(value)) b = dbase::bytesEntero(c, *e);
      else if (auto d = dbase::textoAReal(value)) b = dbase::bytesReal(c, *d);
      else impl_->noEsNumero(i, std::string(value));
      if (!b) impl_->noCabe(i, windows1252ToUtf8(value));
      impl_->poner(i, *b);
      return;
    }
    case 'L':
      if (value.empty()) impl_->poner(i, " ");
      else if (std::string_view("TtYy").find(value[0]) != std::string_view::npos) impl_->poner(i, "T");
      else if (std::string_view("FfNn").find(value[0]) != std::string_view::npos) impl_->poner(i, "F");
      else impl_->noEscribible(i, "el texto '" + windows1252ToUtf8(value) + "'");
      return;
    default:
      impl_->noEscribible(i, "escritura");
  }
}

void DbfTable::setLogical(std::string_view field, bool value) {
  const std::size_t i = impl_->campo(field);
  if (impl_->cab.campos[i].tipo != 'L') impl_->noEscribible(i, "un valor lógico");
  impl_->poner(i, dbase::bytesLogico(value));
}

void DbfTable::setInteger(std::string_view field, long long value) {
  const std::size_t i = impl_->campo(field);
  const dbase::Campo& c = impl_->cab.campos[i];
  if (c.tipo == 'C') return impl_->poner(i, dbase::bytesTexto(c, std::to_string(value)));
  if (c.tipo != 'N' && c.tipo != 'F') impl_->noEscribible(i, "un número");
  auto b = dbase::bytesEntero(c, value);
  if (!b) impl_->noCabe(i, std::to_string(value));
  impl_->poner(i, *b);
}

void DbfTable::setFloat(std::string_view field, double value) {
  const std::size_t i = impl_->campo(field);
  const dbase::Campo& c = impl_->cab.campos[i];
  if (c.tipo == 'C' && std::isfinite(value))
    return impl_->poner(i, dbase::bytesTexto(c, dbase::numeroCorto(value)));
  if (c.tipo != 'N' && c.tipo != 'F') impl_->noEscribible(i, "un número");
  auto b = dbase::bytesReal(c, value);
  if (!b) impl_->noCabe(i, std::isfinite(value) ? dbase::numeroCorto(value) : "no finito");
  impl_->poner(i, *b);
}

std::string DbfTable::text(std::string_view field) const {
  const std::size_t i = impl_->campo(field);
  const dbase::Campo& c = impl_->cab.campos[i];
  if (c.tipo == 'C') {
    // The common case read straight from the record: the stored bytes without the trailing
    // blanks and NULs, as leerValor gives them.
    std::string_view t = impl_->actual().substr(c.offset, std::size_t(c.ancho));
    while (!t.empty() && (t.back() == ' ' || t.back() == '\0')) t.remove_suffix(1);
    return std::string(t);
  }
  return impl_->valorDe(impl_->actual(), i).texto;
}

long long DbfTable::integer(std::string_view field) const {
  const std::size_t i = impl_->campo(field);
  const dbase::Valor v = impl_->valorDe(impl_->actual(), i);
  if (v.blanco) return 0;
  if (v.entero) return *v.entero;
  std::optional<double> d = v.numero;
  if (!d) {
    if (auto e = dbase::textoAEntero(v.texto)) return *e;
    d = dbase::textoAReal(v.texto);
  }
  // A fractional value is rounded, as a dataset reads a float field as an integer.
  if (!d || std::fabs(*d) >= 9.2e18) impl_->noEsNumero(i, v.texto);
  return std::llround(*d);
}

double DbfTable::real(std::string_view field) const {
  const std::size_t i = impl_->campo(field);
  const dbase::Valor v = impl_->valorDe(impl_->actual(), i);
  if (v.blanco) return 0;
  if (v.numero) return *v.numero;
  if (auto d = dbase::textoAReal(v.texto)) return *d;
  impl_->noEsNumero(i, v.texto);
}

bool DbfTable::locate(std::string_view field, std::string_view value) {
  impl_->exigirAbierta();
  const std::size_t i = impl_->campo(field);
  impl_->publicar();
  auto& busqueda = impl_->busquedas[i];
  if (!busqueda) {
    busqueda.emplace();
    for (std::size_t r = 0; r < impl_->filas; ++r)
      if (impl_->vivo(r)) busqueda->emplace(impl_->valorDe(impl_->registro(r), i).texto, r);
  }
  auto it = busqueda->find(value);
  if (it == busqueda->end()) return false;
  impl_->pos = it->second;
  return true;
}

}  // namespace tov
