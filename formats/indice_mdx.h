// The production index (.MDX) of a dBase table, for numeric tags, in the layout the
// Borland engine and TDbf 7 write: file version 3, 512-byte header, 1024-byte blocks,
// 12-byte BCD keys.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tov::mdx {

// The 12-byte BCD form of a numeric key as TDbf 7 writes it: byte 1 counts bytes of digits
// (1 = 35 09 10 00 ..., 12 = 36 09 12 00 ..., 0 = 34 01 00 ...). At most 15 significant
// digits; throws ErrorTabla for values that are not finite or too large or small for it.
std::array<std::uint8_t, 12> bcdKey(double value);

struct Date {
  int year, month, day;
};

// The whole .MDX file with one tag over the numeric field named like the tag. `keys[i]` is
// the value of record i + 1, for every record: dBase keeps deleted records in its indexes
// until the table is packed, and leaving one out would shift the record numbers after it.
// Equal keys in record order. `dbfBaseName` is the table name without extension ("COUNTSES"), at most 15 bytes.
std::vector<std::uint8_t> buildNumericIndex(std::string_view tagName, std::string_view dbfBaseName,
                                            const std::vector<double>& keys, Date date);

// Record numbers of a tag in key order, by walking the file's tree (index versions 2 and 3).
// Throws ErrorTabla naming `fileName` when the file is not a readable index, its tree is
// damaged or out of order, or it has no such tag.
std::vector<std::uint32_t> walkTag(std::span<const std::uint8_t> file, std::string_view tagName,
                                   std::string_view fileName);

}  // namespace tov::mdx
