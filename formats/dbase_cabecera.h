// The header of a .DBF file: the level-7 header this program writes, and the headers of
// dBase III, IV, 5 and 7 that it reads.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tov::dbase {

// Level-7 header, 68 bytes (dBase 7 file structure).
inline constexpr std::uint8_t kVersionNivel7 = 0x04;       // dBase 7, no memo file
inline constexpr std::size_t kCabeceraNivel7 = 68;         // fixed part before the descriptors
inline constexpr std::size_t kDescriptorNivel7 = 48;       // field descriptor, 32-byte name
inline constexpr std::size_t kNombreNivel7 = 32;           // room for the name in a descriptor
// Older levels (III, IV, 5): 32-byte header and 32-byte descriptors with 11-byte names.
inline constexpr std::size_t kCabeceraNivel3 = 32;
inline constexpr std::size_t kDescriptorNivel3 = 32;
inline constexpr std::size_t kNombreNivel3 = 11;

// Offsets in the fixed header, shared by every level.
inline constexpr std::size_t kOffVersion = 0;         // level in the low three bits
inline constexpr std::size_t kOffFecha = 1;           // last update: year-1900, month, day
inline constexpr std::size_t kOffNumRegistros = 4;    // uint32 little-endian
inline constexpr std::size_t kOffLongCabecera = 8;    // uint16: where the records start
inline constexpr std::size_t kOffLongRegistro = 10;   // uint16: deletion flag + fields
inline constexpr std::size_t kOffIndiceProduccion = 28;  // 1 when T.MDX belongs to the table
inline constexpr std::size_t kOffIdioma = 29;         // code-page byte of III/IV; 0 in level 7
inline constexpr std::size_t kOffNombreIdioma = 32;   // level 7: language driver name
inline constexpr std::size_t kLongNombreIdioma = 32;  // the name's slot, NUL padded
// Windows ANSI (1252) driver, the one the Borland engine names for US/Western Windows.
inline constexpr std::string_view kDriverWindows1252 = "DBWINUS0";

// Offsets in a level-7 descriptor (level 3 puts type at 11, width at 16, decimals at 17).
inline constexpr std::size_t kOffTipo7 = 32;
inline constexpr std::size_t kOffAncho7 = 33;
inline constexpr std::size_t kOffDecimales7 = 34;
inline constexpr std::size_t kOffIndiceCampo7 = 37;  // per-field MDX flag; dBase 7 leaves it 0
inline constexpr std::size_t kOffTipo3 = 11;
inline constexpr std::size_t kOffAncho3 = 16;
inline constexpr std::size_t kOffDecimales3 = 17;

inline constexpr std::uint8_t kFinDescriptores = 0x0D;  // ends the descriptor array
inline constexpr std::uint8_t kFinArchivo = 0x1A;       // after the last record
inline constexpr char kRegistroVivo = ' ';              // deletion flag of a live record
inline constexpr char kRegistroBorrado = '*';           // deletion flag of a deleted record

struct Campo {
  std::string nombre;  // as stored, without the NUL padding
  char tipo = 'C';     // dBase type letter: C N F L D I O @ + M ...
  int ancho = 0;
  int decimales = 0;
  std::size_t offset = 0;  // within the record, the deletion flag being byte 0
};

struct Fecha {
  int anio = 0, mes = 0, dia = 0;
};

struct Cabecera {
  std::uint8_t version = kVersionNivel7;
  Fecha fecha;
  std::uint32_t numRegistros = 0;
  std::size_t longCabecera = 0;
  std::size_t longRegistro = 0;
  bool indiceProduccion = false;
  std::vector<Campo> campos;
};

// Parses the header of a whole file held in memory. Checks that every field lies inside
// the record, that the record length matches the fields, that the header and the records
// the header counts lie inside the file; throws ErrorTabla naming `ruta` otherwise.
Cabecera leerCabecera(std::string_view archivo, const std::string& ruta);

// The level-7 header with its descriptors and terminator, for these fields (offsets and
// record length are computed here; numRegistros and fecha are taken from `c`).
std::string escribirCabeceraNivel7(const Cabecera& c);

// Rewrites the record count and the date of a header already in `bytes` (any level).
void actualizarCabecera(std::string& bytes, std::uint32_t numRegistros, Fecha fecha);

}  // namespace tov::dbase
