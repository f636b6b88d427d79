// Byte layout of a production index (.MDX) as the Borland engine and TDbf 7 write it for
// dBase 7 tables. Shared by the writer and the reader of formats/indice_mdx*.cpp.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tov::mdx::formato {

// Units. Block and page numbers in the file count 512-byte pages; a block is two pages.
inline constexpr std::size_t kPagina = 512;          // unit of every page number in the file
inline constexpr std::size_t kBloque = 1024;         // one tree node or tag header
inline constexpr std::uint32_t kPaginasPorBloque = kBloque / kPagina;

// File header (block 0).
inline constexpr std::uint8_t kVersionNivel7 = 3;    // index of a dBase 7 table (level 4 writes 2)
inline constexpr std::uint8_t kVersionNivel4 = 2;    // read only: indexes of dBase IV tables
inline constexpr std::size_t kOffVersion = 0;
inline constexpr std::size_t kOffFechaCreacion = 1;  // year-1900, month, day
inline constexpr std::size_t kOffNombreDbf = 4;      // table name without extension, NUL padded
inline constexpr std::size_t kLongNombreDbf = 16;    // the slot; the name keeps one NUL at least
inline constexpr std::size_t kOffPaginasPorBloque = 20;  // uint16
inline constexpr std::size_t kOffBytesPorBloque = 22;    // uint16
inline constexpr std::size_t kOffProduccion = 24;    // 1: opened together with the table
inline constexpr std::size_t kOffMaxEtiquetas = 25;  // room in the tag table
inline constexpr std::size_t kOffLongEtiqueta = 26;  // bytes per tag table entry
inline constexpr std::size_t kOffEtiquetasUsadas = 28;  // uint16
inline constexpr std::size_t kOffIdioma = 31;        // language driver id of the table
inline constexpr std::size_t kOffPaginasArchivo = 32;  // uint32: file length in pages
inline constexpr std::size_t kOffPrimeraLibre = 36;  // uint32: head of the free-block list, 0 = none
inline constexpr std::size_t kOffFechaCambio = 44;   // year-1900, month, day of the last update
// Byte 17 of the reserved slot 0 of the tag table: every writer sets it to 1.
inline constexpr std::size_t kOffMarcaEtiquetas = 529;

inline constexpr std::uint8_t kMaxEtiquetas = 48;    // dBase's limit of tags per file
inline constexpr std::uint8_t kIdiomaWindows1252 = 0x57;  // id of DBWINUS0, the driver our tables name

// Tag table: slot 0 is reserved, tag i (from 0) sits at kOffTablaEtiquetas + (i + 1) * length.
inline constexpr std::size_t kOffTablaEtiquetas = 512;
inline constexpr std::size_t kLongEtiquetaNivel7 = 43;  // 33-byte names (level 7)
inline constexpr std::size_t kLongEtiquetaNivel4 = 32;  // 11-byte names (level 4), read only

// Offsets in a tag table entry, per entry length.
struct DisenoEtiqueta {
  std::size_t longitud;      // bytes of the entry
  std::size_t longNombre;    // name slot from byte 4 (NUL padded)
  std::size_t offFormato;    // 0x10: the key is a field of the table
  std::size_t offReservado;  // always 2
  std::size_t offTipo;       // key type letter
};
inline constexpr DisenoEtiqueta kEtiquetaNivel7{kLongEtiquetaNivel7, 33, 37, 41, 42};
inline constexpr DisenoEtiqueta kEtiquetaNivel4{kLongEtiquetaNivel4, 11, 15, 19, 20};
inline constexpr std::size_t kOffEtiquetaCabecera = 0;  // uint32: page of the tag header
inline constexpr std::size_t kOffEtiquetaNombre = 4;
inline constexpr std::uint8_t kFormatoCampo = 0x10;     // key expression is a bare field name
inline constexpr std::uint8_t kReservadoEtiqueta = 2;   // the value every writer leaves there

// Three blocks hold the header and the tag table (512 + 49 slots of 43 bytes = 2619 bytes).
inline constexpr std::uint32_t kBloquesCabecera = 3;

// Tag header (one block).
inline constexpr std::size_t kOffRaiz = 0;            // uint32: page of the root node
inline constexpr std::size_t kOffPaginasEtiqueta = 4;  // uint32: the tag's own page counter
inline constexpr std::size_t kOffFormatoClave = 8;    // 0: ascending, duplicates allowed
inline constexpr std::size_t kOffTipoClave = 9;       // 'N' for numeric keys
inline constexpr std::size_t kOffLongClave = 12;      // uint16
inline constexpr std::size_t kOffMaxClaves = 14;      // uint16: keys per node
inline constexpr std::size_t kOffLongEntrada = 18;    // uint16: pointer + key, 4-byte aligned
inline constexpr std::size_t kOffVersionEtiqueta = 20;  // uint16
inline constexpr std::size_t kOffExpresion = 24;      // key expression, 220 bytes NUL padded
inline constexpr std::size_t kLongExpresion = 220;
inline constexpr std::size_t kOffHayExpresion = 246;  // 1: the expression above is set
inline constexpr std::uint16_t kVersionEtiqueta = 4;  // what the Borland engine and TDbf 7 write
inline constexpr char kTipoNumerico = 'N';

// Tree nodes: a count, a word nobody fills, then entries of a 4-byte pointer and a key.
// A leaf points at records (from 1); an interior node with n keys has n + 1 entries, the
// last one a pointer without key, and key i is the greatest key under pointer i.
inline constexpr std::size_t kOffNumClaves = 0;       // uint32
inline constexpr std::size_t kOffEntradas = 8;
inline constexpr std::size_t kLongClaveNumerica = 12;  // dBase IV BCD
inline constexpr std::size_t kLongEntradaNumerica = 16;  // 4 + 12, already aligned
inline constexpr std::uint16_t kMaxClavesNumericas =
    std::uint16_t((kBloque - kOffEntradas) / kLongEntradaNumerica);  // 63
// TDbf tells an interior node by a count below the maximum and a pointer after the last
// key, so an interior node keeps one key less than a leaf can.
inline constexpr std::size_t kMaxClavesInterior = kMaxClavesNumericas - 1;

// BCD keys: byte 0 is 0x34 plus the digits before the point, byte 1 holds the bytes of
// digits used (times 8, plus 1) and the sign, then packed decimal digits, two per byte.
inline constexpr std::uint8_t kExponenteCero = 0x34;
inline constexpr std::uint8_t kBitsLongitud = 0x01;   // always set in byte 1
inline constexpr std::uint8_t kSignoNegativo = 0x80;  // in byte 1
inline constexpr std::size_t kOffDigitos = 2;
inline constexpr int kMaxDigitos = 15;                // the digits a double carries

inline std::uint16_t leer16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
inline std::uint32_t leer32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}
inline void escribir16(std::uint8_t* p, std::uint16_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
}
inline void escribir32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

}  // namespace tov::mdx::formato
