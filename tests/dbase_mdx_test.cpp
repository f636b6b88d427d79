// The production index COUNTSES.MDX: BCD keys, the file compared block by block with the
// one TDbf 7 writes, our reader over our trees and other programs' files, damaged files,
// and TDbf walking the tables we write through the tag.
#include <gtest/gtest.h>

#include "apoyo/salida_de_orden.h"

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "app/errores.h"
#include "apoyo/carpeta_temporal.h"
#include "formats/dbase_cabecera.h"
#include "formats/indice_mdx.h"
#include "formats/indice_mdx_formato.h"
#include "formats/tabla_dbase.h"
#include "formats/tabla_disenos.h"

namespace tov {
namespace {

namespace fs = std::filesystem;
namespace fmt = mdx::formato;
using prueba::CarpetaTemporal;

const fs::path kFixtures = fs::path(TOV_FIXTURES) / "dbase";
const fs::path kTdbf7Numerico = kFixtures / "level7-tdbf7-numeric";

std::vector<std::uint8_t> leerBytes(const fs::path& p) {
  const std::string s = prueba::leerArchivo(p);
  return {s.begin(), s.end()};
}

std::string hex(std::span<const std::uint8_t> b) {
  static const char* d = "0123456789ABCDEF";
  std::string s;
  for (std::uint8_t x : b) {
    if (!s.empty()) s += ' ';
    s += d[x >> 4];
    s += d[x & 15];
  }
  return s;
}

// The rows of the fixture's COUNTSES.DBF: NSES of records 1 to 5.
const std::vector<double> kCincoFilas = {3, 1, 12, 1, 3};

// ---------------------------------------------------------------------------------------
// BCD keys

struct CasoBcd {
  double valor;
  const char* bytes;  // the 12 bytes in hex
};

TEST(DbaseMdx, ClavesBcd) {
  const CasoBcd casos[] = {
      {0, "34 01 00 00 00 00 00 00 00 00 00 00"},
      {-0.0, "34 01 00 00 00 00 00 00 00 00 00 00"},  // no negative zero
      {1, "35 09 10 00 00 00 00 00 00 00 00 00"},     // one digit still takes a byte: 09
      {3, "35 09 30 00 00 00 00 00 00 00 00 00"},
      {12, "36 09 12 00 00 00 00 00 00 00 00 00"},
      {10, "36 09 10 00 00 00 00 00 00 00 00 00"},    // trailing zeros are not digits
      {100, "37 09 10 00 00 00 00 00 00 00 00 00"},
      {123, "37 11 12 30 00 00 00 00 00 00 00 00"},
      {-1, "35 89 10 00 00 00 00 00 00 00 00 00"},
      {-12, "36 89 12 00 00 00 00 00 00 00 00 00"},
      {2.5, "35 09 25 00 00 00 00 00 00 00 00 00"},  // two digits, one byte
      {0.5, "34 09 50 00 00 00 00 00 00 00 00 00"},
      {0.05, "33 09 50 00 00 00 00 00 00 00 00 00"},
      {-0.25, "34 89 25 00 00 00 00 00 00 00 00 00"},
      {0.1 + 0.2, "34 09 30 00 00 00 00 00 00 00 00 00"},  // 15 digits, as a double carries
      {2147483647, "3E 29 21 47 48 36 47 00 00 00 00 00"},
      {-2147483648.0, "3E A9 21 47 48 36 48 00 00 00 00 00"},
      {99999999999, "3F 31 99 99 99 99 99 90 00 00 00 00"},  // widest N(11,0)
      {123456789012345, "43 41 12 34 56 78 90 12 34 50 00 00"},
      {1e16, "45 09 10 00 00 00 00 00 00 00 00 00"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.valor);
    EXPECT_EQ(hex(mdx::bcdKey(c.valor)), c.bytes);
  }
}

TEST(DbaseMdx, ValoresSinClaveBcd) {
  for (double v : {std::nan(""), std::numeric_limits<double>::infinity(), -1e300, 1e-200}) {
    SCOPED_TRACE(v);
    EXPECT_THROW(mdx::bcdKey(v), ErrorTabla);
  }
  try {
    mdx::buildNumericIndex("NSES", "COUNTSES", {1, std::nan("")}, {2026, 1, 1});
    FAIL() << "un valor NaN no puede ser clave";
  } catch (const ErrorTabla& e) {
    EXPECT_NE(std::string(e.what()).find("COUNTSES.MDX, registro 2"), std::string::npos) << e.what();
  }
}

// ---------------------------------------------------------------------------------------
// Byte for byte against the file TDbf 7 wrote for the same five rows

// Where our file may differ from the fixture, and why. Everything else must be equal.
struct Diferencia {
  std::size_t offset;
  std::uint8_t nuestro, suyo;
  const char* porque;
};

TEST(DbaseMdx, MismosBloquesQueTdbf7) {
  const auto suyo = leerBytes(kTdbf7Numerico / "COUNTSES.mdx");
  ASSERT_EQ(suyo.size(), 6144u);
  // A date other than the fixture's (2026-12-11), so that both date fields show up.
  auto nuestro = mdx::buildNumericIndex("NSES", "COUNTSES", kCincoFilas, {2024, 2, 29});
  ASSERT_EQ(nuestro.size(), suyo.size());

  const Diferencia diferencias[] = {
      // Creation date, year-1900 / month / day: the day each file was written.
      {fmt::kOffFechaCreacion + 0, 124, 126, "año de creación"},
      {fmt::kOffFechaCreacion + 1, 2, 12, "mes de creación"},
      {fmt::kOffFechaCreacion + 2, 29, 11, "día de creación"},
      // Last update date, the same day again.
      {fmt::kOffFechaCambio + 0, 124, 126, "año del último cambio"},
      {fmt::kOffFechaCambio + 1, 2, 12, "mes del último cambio"},
      {fmt::kOffFechaCambio + 2, 29, 11, "día del último cambio"},
      // Language driver id: the fixture's table names DBWINWE0 (0x58), ours DBWINUS0 (0x57);
      // both are Windows-1252.
      {fmt::kOffIdioma, 0x57, 0x58, "idioma de la tabla"},
  };
  for (const auto& d : diferencias) {
    SCOPED_TRACE(d.porque);
    EXPECT_EQ(nuestro[d.offset], d.nuestro);
    EXPECT_EQ(suyo[d.offset], d.suyo);
    nuestro[d.offset] = d.suyo;
  }
  for (std::size_t b = 0; b < suyo.size() / fmt::kBloque; ++b) {
    SCOPED_TRACE("bloque " + std::to_string(b));
    const std::size_t inicio = b * fmt::kBloque;
    auto distinto = std::mismatch(nuestro.begin() + inicio, nuestro.begin() + inicio + fmt::kBloque,
                                  suyo.begin() + inicio);
    EXPECT_TRUE(distinto.first == nuestro.begin() + inicio + fmt::kBloque)
        << "primer byte distinto en " << (distinto.first - nuestro.begin()) << ": nuestro "
        << int(*distinto.first) << ", suyo " << int(*distinto.second);
  }
}

// ---------------------------------------------------------------------------------------
// Our reader over our trees

std::vector<std::uint32_t> recorrer(std::span<const std::uint8_t> f, std::string_view etiqueta = "NSES") {
  return mdx::walkTag(f, etiqueta, "COUNTSES.MDX");
}

// Record numbers (from 1) in key order, equal keys in record order.
std::vector<std::uint32_t> ordenEsperado(const std::vector<double>& v) {
  std::vector<std::uint32_t> r(v.size());
  std::iota(r.begin(), r.end(), 1u);
  std::stable_sort(r.begin(), r.end(), [&](auto a, auto b) { return v[a - 1] < v[b - 1]; });
  return r;
}

// Levels of the tree: 1 when the root is a leaf.
int niveles(const std::vector<std::uint8_t>& f) {
  const std::uint8_t* tag = &f[fmt::kOffTablaEtiquetas + fmt::kLongEtiquetaNivel7];
  const std::uint8_t* cab = &f[fmt::leer32(tag) * fmt::kPagina];
  std::uint32_t pagina = fmt::leer32(cab + fmt::kOffRaiz);
  for (int n = 1;; ++n) {
    const std::uint8_t* b = &f[pagina * fmt::kPagina];
    const std::uint32_t claves = fmt::leer32(b);
    if (claves >= fmt::kMaxClavesNumericas) return n;
    const std::uint32_t tras = fmt::leer32(b + fmt::kOffEntradas + claves * fmt::kLongEntradaNumerica);
    if (tras == 0) return n;
    pagina = fmt::leer32(b + fmt::kOffEntradas);  // down the first pointer
  }
}

// Values with many duplicates, negatives and halves, not in order.
std::vector<double> valoresRepetidos(std::size_t n) {
  std::vector<double> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = double(i * 37 % 101) - 50 + (i % 7 == 0 ? 0.5 : 0);
  return v;
}

TEST(DbaseMdx, CincoFilasEnOrdenDeClave) {
  const auto f = mdx::buildNumericIndex("NSES", "COUNTSES", kCincoFilas, {2026, 12, 11});
  EXPECT_EQ(recorrer(f), (std::vector<std::uint32_t>{2, 4, 1, 5, 3}));  // 1, 1, 3, 3, 12
}

struct CasoArbol {
  std::size_t filas;
  int niveles;
};

TEST(DbaseMdx, ArbolesDeVariosTamanos) {
  // 63 keys fill a leaf; 62 keys (63 pointers) fill an interior node.
  const CasoArbol casos[] = {{0, 1}, {1, 1}, {63, 1}, {64, 2}, {500, 2}, {63 * 63, 2}, {63 * 63 + 1, 3}, {9000, 3}};
  for (const auto& c : casos) {
    SCOPED_TRACE(std::to_string(c.filas) + " filas");
    const auto v = valoresRepetidos(c.filas);
    const auto f = mdx::buildNumericIndex("NSES", "COUNTSES", v, {2026, 1, 2});
    EXPECT_EQ(f.size(), fmt::leer32(&f[fmt::kOffPaginasArchivo]) * fmt::kPagina);
    EXPECT_EQ(niveles(f), c.niveles);
    EXPECT_EQ(recorrer(f), ordenEsperado(v));
  }
}

// ---------------------------------------------------------------------------------------
// Our reader over other programs' files

// NSES of every record of a fixture table, read from the fixed positions its README gives.
std::vector<double> nsesDe(const fs::path& dbf, std::size_t offsetCampo, std::size_t ancho) {
  const auto b = leerBytes(dbf);
  const std::uint32_t n = fmt::leer32(&b[4]);
  const std::size_t cabecera = fmt::leer16(&b[8]), largo = fmt::leer16(&b[10]);
  std::vector<double> v;
  for (std::size_t r = 0; r < n; ++r) {
    const std::string campo(reinterpret_cast<const char*>(&b[cabecera + r * largo + offsetCampo]), ancho);
    v.push_back(std::stod(campo));
  }
  return v;
}

struct CasoAjeno {
  const char* mdx;
  std::vector<std::uint32_t> orden;
};

TEST(DbaseMdx, LeemosLosIndicesDeOtrosProgramas) {
  const CasoAjeno casos[] = {
      {"level7-tdbf7-numeric/COUNTSES.mdx", {2, 4, 1, 5, 3}},
      {"level7-tdbf-debian/COUNTSES.mdx", {4, 3, 2, 1}},  // 32-byte tag entries
      {"level7-tdbf7/COUNTSES.mdx", {4, 3, 2, 1}},        // key type I, 4-byte keys
      {"level7-tdbf-debian/LEVEL4.mdx", {1}},             // index version 2
      {"level4-xbase64/small/COUNTSES.MDX", {2, 4, 1, 5, 3}},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.mdx);
    EXPECT_EQ(recorrer(leerBytes(kFixtures / c.mdx)), c.orden);
  }
}

TEST(DbaseMdx, LeemosElArbolDeDosNivelesDeXbase64) {
  // 200 records, NSES N(4,0) after the 10 bytes of DURACION and the deletion flag.
  const fs::path carpeta = kFixtures / "level4-xbase64/big";
  const auto v = nsesDe(carpeta / "COUNTSES.DBF", 11, 4);
  ASSERT_EQ(v.size(), 200u);
  const auto f = leerBytes(carpeta / "COUNTSES.MDX");
  const auto orden = recorrer(f);
  ASSERT_EQ(orden.size(), v.size());
  std::vector<std::uint32_t> todos(orden);
  std::sort(todos.begin(), todos.end());
  EXPECT_EQ(todos, ordenEsperado(std::vector<double>(200, 0.0)));  // each record once
  for (std::size_t i = 1; i < orden.size(); ++i) EXPECT_LE(v[orden[i - 1] - 1], v[orden[i] - 1]);
}

// ---------------------------------------------------------------------------------------
// Damaged files

struct CasoDanado {
  const char* nombre;
  void (*danar)(std::vector<std::uint8_t>&);
};

std::uint8_t* raizDe(std::vector<std::uint8_t>& f) {
  const std::uint8_t* tag = &f[fmt::kOffTablaEtiquetas + fmt::kLongEtiquetaNivel7];
  return &f[fmt::leer32(&f[fmt::leer32(tag) * fmt::kPagina + fmt::kOffRaiz]) * fmt::kPagina];
}
std::uint8_t* cabeceraEtiqueta(std::vector<std::uint8_t>& f) {
  return &f[fmt::leer32(&f[fmt::kOffTablaEtiquetas + fmt::kLongEtiquetaNivel7]) * fmt::kPagina];
}

TEST(DbaseMdx, IndicesDanadosDanErrorTabla) {
  const CasoDanado casos[] = {
      {"vacío", [](auto& f) { f.clear(); }},
      {"cortado en la cabecera", [](auto& f) { f.resize(300); }},
      {"cortado en el árbol", [](auto& f) { f.resize(f.size() - 3000); }},
      {"versión desconocida", [](auto& f) { f[fmt::kOffVersion] = 9; }},
      {"bloque de 0 bytes", [](auto& f) { fmt::escribir16(&f[fmt::kOffBytesPorBloque], 0); }},
      {"entradas de etiqueta de 20 bytes", [](auto& f) { f[fmt::kOffLongEtiqueta] = 20; }},
      {"200 etiquetas", [](auto& f) { fmt::escribir16(&f[fmt::kOffEtiquetasUsadas], 200); }},
      {"sin la etiqueta", [](auto& f) { f[fmt::kOffTablaEtiquetas + fmt::kLongEtiquetaNivel7 + 4] = 'X'; }},
      {"cabecera de etiqueta fuera", [](auto& f) { fmt::escribir32(&f[fmt::kOffTablaEtiquetas + fmt::kLongEtiquetaNivel7], 9999); }},
      {"raíz en la página 0", [](auto& f) { fmt::escribir32(cabeceraEtiqueta(f) + fmt::kOffRaiz, 0); }},
      {"raíz fuera del archivo", [](auto& f) { fmt::escribir32(cabeceraEtiqueta(f) + fmt::kOffRaiz, 0x7FFFFFFF); }},
      {"entrada más corta que la clave", [](auto& f) { fmt::escribir16(cabeceraEtiqueta(f) + fmt::kOffLongEntrada, 8); }},
      {"más claves por nodo que caben", [](auto& f) { fmt::escribir16(cabeceraEtiqueta(f) + fmt::kOffMaxClaves, 200); }},
      {"nodo con 1000 claves", [](auto& f) { fmt::escribir32(raizDe(f), 1000); }},
      {"puntero a sí mismo",
       [](auto& f) {
         const std::uint32_t raiz = fmt::leer32(cabeceraEtiqueta(f) + fmt::kOffRaiz);
         fmt::escribir32(raizDe(f) + fmt::kOffEntradas, raiz);
       }},
      {"hoja que apunta al registro 0",
       [](auto& f) {
         std::uint8_t* hoja = &f[fmt::leer32(raizDe(f) + fmt::kOffEntradas) * fmt::kPagina];
         fmt::escribir32(hoja + fmt::kOffEntradas, 0);
       }},
      {"claves fuera de orden",
       [](auto& f) {
         std::uint8_t* hoja = &f[fmt::leer32(raizDe(f) + fmt::kOffEntradas) * fmt::kPagina];
         std::swap_ranges(hoja + fmt::kOffEntradas, hoja + fmt::kOffEntradas + fmt::kLongEntradaNumerica,
                          hoja + fmt::kOffEntradas + 40 * fmt::kLongEntradaNumerica);
       }},
      {"separador menor que su hoja",
       [](auto& f) {
         const auto cero = mdx::bcdKey(-1000);
         std::copy(cero.begin(), cero.end(), raizDe(f) + fmt::kOffEntradas + 4);
       }},
  };
  const auto bueno = mdx::buildNumericIndex("NSES", "COUNTSES", valoresRepetidos(500), {2026, 1, 2});
  ASSERT_EQ(niveles(bueno), 2);
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    auto f = bueno;
    c.danar(f);
    try {
      recorrer(f);
      ADD_FAILURE() << "se esperaba ErrorTabla";
    } catch (const ErrorTabla& e) {
      EXPECT_NE(std::string(e.what()).find("COUNTSES.MDX"), std::string::npos) << e.what();
    }
  }
}

// ---------------------------------------------------------------------------------------
// TDbf, the referee: it must find the tag and walk the rows in index order.


// Runs the TDbf reader over COUNTSES in `origen`. On a case-sensitive file system TDbf
// looks for "COUNTSES.mdx" and opens the table without index when the name differs, so
// the files go to a folder of their own under the names it expects.
std::string tdbfRecorre(const fs::path& origen) {
#ifndef TOV_LEER_INDICE
  ADD_FAILURE() << "fpc no está instalado: no hay lector TDbf";
  (void)origen;
  return {};
#else
  CarpetaTemporal copia;
  fs::copy_file(origen / "COUNTSES.DBF", copia / "COUNTSES.DBF");
  fs::copy_file(origen / "COUNTSES.MDX", copia / "COUNTSES.mdx");
  int salida = -1;
  const std::string texto =
      tov::prueba::salidaDeOrden(std::string(TOV_LEER_INDICE) + " '" + copia.ruta().string() + "' COUNTSES.DBF NSES 2>&1", salida);
  EXPECT_EQ(salida, 0) << texto;
  return texto;
#endif
}

// The listing TDbf must print: the tag, then the rows in the order our reader walks.
std::string listadoEsperado(const std::vector<std::uint32_t>& orden, const std::vector<long long>& nses,
                            const std::vector<std::string>& duracion) {
  std::string s = "etiqueta NSES\n";
  for (std::uint32_t r : orden)
    s += "fila " + std::to_string(r) + " " + std::to_string(nses[r - 1]) + " " + duracion[r - 1] + "\n";
  return s;
}

TEST(DbaseMdx, TdbfRecorreNuestroIndiceSobreLaTablaDelFixture) {
  // Our COUNTSES.MDX beside the fixture's COUNTSES.DBF, which holds the same five rows.
  // TDbf drops an index whose language id differs from the table's driver, so the copy
  // names our driver (DBWINUS0) instead of the fixture's DBWINWE0, as our tables do.
  CarpetaTemporal dir;
  std::string dbf = prueba::leerArchivo(kTdbf7Numerico / "COUNTSES.DBF");
  ASSERT_EQ(dbf.substr(dbase::kOffNombreIdioma, 8), "DBWINWE0");
  dbf.replace(dbase::kOffNombreIdioma, 8, dbase::kDriverWindows1252);
  prueba::escribirArchivo(dir / "COUNTSES.DBF", dbf);
  const auto f = mdx::buildNumericIndex("NSES", "COUNTSES", kCincoFilas, {2026, 12, 11});
  prueba::escribirArchivo(dir / "COUNTSES.MDX", std::string(f.begin(), f.end()));
  EXPECT_EQ(tdbfRecorre(dir.ruta()),
            "etiqueta NSES\nfila 2 1 55\nfila 4 1 65\nfila 1 3 50\nfila 5 3 70\nfila 3 12 60\n");
}

struct CasoTabla {
  const char* nombre;
  std::vector<long long> nses;
};

TEST(DbaseMdx, TdbfRecorreLasTablasQueEscribimos) {
  auto filas = [](long long n) {
    std::vector<long long> v;
    for (long long i = 0; i < n; ++i) v.push_back(i * 37 % 101 - 50);
    return v;
  };
  const CasoTabla casos[] = {
      {"cinco filas", {3, 1, 12, 1, 3}},
      {"sin filas", {}},
      {"árbol de dos niveles", filas(700)},     // 12 leaves under the root
      {"raíz interior llena", filas(63 * 63)},  // 63 leaves: 62 keys, the most TDbf takes
      {"árbol de tres niveles", filas(4000)},   // 64 leaves, more than one interior node takes
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    CarpetaTemporal dir;
    // An old index that must not survive the new table.
    prueba::escribirArchivo(dir / "COUNTSES.MDX", std::string(4096, 'x'));
    DbfTable::create(dir.ruta(), "COUNTSES", disenos::COUNTSES, disenos::COUNTSES_INDICES);
    std::vector<std::string> duracion;
    {
      DbfTable t = DbfTable::open(dir.ruta(), "COUNTSES", Access::Shared);
      for (std::size_t i = 0; i < c.nses.size(); ++i) {
        duracion.push_back(std::to_string(50 + 5 * i));
        t.append();
        t.setText("DURACION", duracion.back());
        t.setInteger("NSES", c.nses[i]);
        t.post();
      }
      t.close();
    }
    const auto f = leerBytes(dir / "COUNTSES.MDX");
    std::vector<double> valores(c.nses.begin(), c.nses.end());
    const auto orden = recorrer(f);
    EXPECT_EQ(orden, ordenEsperado(valores));
    EXPECT_EQ(niveles(f), c.nses.size() <= fmt::kMaxClavesNumericas ? 1 : c.nses.size() <= 63 * 63 ? 2 : 3);
    EXPECT_EQ(tdbfRecorre(dir.ruta()), listadoEsperado(orden, c.nses, duracion));
  }
}

}  // namespace
}  // namespace tov
