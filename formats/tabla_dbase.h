// dBase tables: writes level-7 tables (Windows-1252 text, driver DBWINUS0) and reads
// tables of dBase III, IV, 5 and 7, as the host may write them.
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tov {

class SistemaArchivos;

// Logical types of the work tables.
enum class FieldType { Text, Logical, Integer, Float };

struct FieldDef {
  std::string name;
  FieldType type;
  int width = 0;  // text only
};

// A production-index tag on one numeric field (ascending, duplicates allowed).
struct IndexDef {
  std::string tag;
  std::string field;
};

enum class Access { Shared, Exclusive };

class DbfTable {
 public:
  // Deletes T.DBF, then T.MDX, in `folder` (failures ignored), then writes an empty
  // level-7 table T.DBF with these fields (and T.MDX when indexes are given).
  // `name` is the bare table name, e.g. "PROFT".
  static void create(const std::filesystem::path& folder, std::string_view name,
                     const std::vector<FieldDef>& fields,
                     const std::vector<IndexDef>& indexes = {},
                     SistemaArchivos* files = nullptr);

  // Opens T.DBF. Exclusive access fails with ErrorEnUso ("La tabla <path> está en uso por
  // otro programa") while another process holds the table; shared access fails while
  // another holds it exclusively. A missing or corrupt file is ErrorTabla.
  static DbfTable open(const std::filesystem::path& folder, std::string_view name, Access access,
                       SistemaArchivos* files = nullptr);

  // True when another process holds the file open through this engine (or by share modes).
  static bool isHeldByOther(const std::filesystem::path& dbfFile);

  DbfTable(DbfTable&&) noexcept;
  DbfTable& operator=(DbfTable&&) noexcept;
  ~DbfTable();  // closes; never throws (call close() to see write errors)

  // Writes pending changes (and the index) and releases the lock. Throws on failure.
  void close();
  bool isOpen() const;

  const std::filesystem::path& file() const;
  std::size_t recordCount() const;

  // Walk in row order over the records that are not deleted.
  void first();
  void next();
  bool eof() const;
  std::size_t recordNumber() const;  // 1-based physical record number of the current row

  // Room for this many more rows: a builder that knows how many it will append has the
  // table grow once instead of copying itself as it doubles.
  void reserve(std::size_t rows);

  // Append a blank row and stand on it; edit the current row; post stores it.
  void append();
  void edit();
  void post();

  void setText(std::string_view field, std::string_view value);  // cut to width
  void setLogical(std::string_view field, bool value);
  void setInteger(std::string_view field, long long value);
  void setFloat(std::string_view field, double value);

  // Text without trailing blanks or NULs; numbers in their shortest decimal form
  // ("3", "2.5"), blank numbers as "".
  std::string text(std::string_view field) const;
  long long integer(std::string_view field) const;  // blank reads as 0
  double real(std::string_view field) const;        // blank reads as 0

  // First row in row order whose field equals `value` exactly (case-sensitive, whole
  // value; an empty value finds a blank field). Stands on it when found.
  bool locate(std::string_view field, std::string_view value);

  struct Impl;

 private:
  explicit DbfTable(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace tov
