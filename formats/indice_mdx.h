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

// The 12-byte BCD form of a numeric key (1 = 35 05 10 00 ..., 0 = 34 01 00 ...).
std::array<std::uint8_t, 12> bcdKey(double value);

struct Date {
  int year, month, day;
};

// The whole .MDX file with one tag over a numeric field of the DBF. `keys[i]` is the value
// of record i + 1 (deleted records excluded by the caller). Equal keys in record order.
std::vector<std::uint8_t> buildNumericIndex(std::string_view tagName, std::string_view dbfBaseName,
                                            const std::vector<double>& keys, Date date);

// Record numbers of a tag in key order, by walking the file's tree.
// Throws ErrorTabla when the file is not a readable index or has no such tag.
std::vector<std::uint32_t> walkTag(std::span<const std::uint8_t> file, std::string_view tagName);

}  // namespace tov::mdx
